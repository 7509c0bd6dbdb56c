// Token slots, parses and token conversions. See token_slots.h.
#include "control/token_slots.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace quarvel {

TokenSlots tokenSlots;

namespace {

inline bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

void parseTokens(const LineSlot& line, int count) {
  const char* p = line.text;
  const char* end = line.text + line.length;
  for (int k = 0; k < count; ++k) {
    while (p < end && isSpace(*p)) ++p;
    if (p == end) return;  // fewer tokens: the later slots keep their text
    const char* start = p;
    while (p < end && !isSpace(*p)) ++p;
    std::size_t length = static_cast<std::size_t>(p - start);
    if (length > kTokenSlotSize - 1) length = kTokenSlotSize - 1;  // cut; the rest is dropped
    std::memcpy(tokenSlots.slot[k], start, length);
    tokenSlots.slot[k][length] = '\0';
  }
}

}  // namespace

void parseFrequencyLine(const LineSlot& line) { parseTokens(line, 8); }
void parsePairLine(const LineSlot& line) { parseTokens(line, 9); }

double realValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  char number[64];  // sign, digits, point, exponent: tokens are short; longer text is cut
  std::size_t n = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t digits = 0;
  auto copyDigits = [&] {
    while (i < text.size() && isDigit(text[i])) {
      if (n < sizeof number - 8) number[n++] = text[i];
      ++i;
      ++digits;
    }
  };
  copyDigits();
  if (i < text.size() && text[i] == '.') {
    if (n < sizeof number - 8) number[n++] = '.';
    ++i;
    copyDigits();
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {  // an exponent counts only with its digits
      std::size_t mark = n;
      number[n++] = 'e';
      if (text[i + 1] == '-') number[n++] = '-';
      std::size_t exponentDigits = 0;
      while (j < text.size() && isDigit(text[j])) {
        if (n < sizeof number - 1) number[n++] = text[j], ++exponentDigits;
        ++j;
      }
      if (exponentDigits == 0) n = mark;
    }
  }
  double value = 0.0;
  auto result = std::from_chars(number, number + n, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    number[n] = '\0';
    value = std::strtod(number, nullptr);  // inf on overflow, the underflowed value otherwise
  }
  return negative ? -value : value;
}

std::int32_t integerValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t magnitude = 0;
  while (i < text.size() && isDigit(text[i])) {
    if (magnitude <= std::int64_t{1} << 32) magnitude = magnitude * 10 + (text[i] - '0');
    ++i;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double blockFrequency() { return realValue(tokenSlots.token(7)); }

}  // namespace quarvel
