// Token slots, parses and token conversions. See token_slots.h.
#include "control/token_slots.h"

#include "control/decimal_number.h"

#include <bit>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarvel {

TokenSlots tokenSlots;

namespace {

inline bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One bit per character of a line: set where the character is not white
// space, for the characters of its text only.
struct TokenBits {
  std::uint64_t word[kLineSlotPadded / 64 + 1] = {};

  std::size_t nextSet(std::size_t from, bool set) const {  // first index >= from with the bit `set`
    std::size_t w = from / 64;
    std::uint64_t bits = (set ? word[w] : ~word[w]) & (~std::uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++w == std::size(word)) return kLineSlotPadded;
      bits = set ? word[w] : ~word[w];
    }
    return w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
  }
};

TokenBits tokenBits(const LineSlot& line) {
  TokenBits bits;
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i four = _mm_set1_epi8(4);
  for (std::size_t block = 0; block < kLineSlotPadded / 16; ++block) {
    __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(line.text + 16 * block));
    __m128i fromTab = _mm_sub_epi8(c, tab);  // tab to carriage return map to 0..4
    __m128i space = _mm_or_si128(_mm_cmpeq_epi8(c, blank), _mm_cmpeq_epi8(_mm_min_epu8(fromTab, four), fromTab));
    auto word = static_cast<std::uint64_t>(~_mm_movemask_epi8(space) & 0xFFFF);
    bits.word[block / 4] |= word << (16 * (block % 4));
  }
#else
  for (std::size_t i = 0; i < line.length; ++i)
    if (!isSpace(line.text[i])) bits.word[i / 64] |= std::uint64_t{1} << (i % 64);
#endif
  for (std::size_t i = line.length; i < std::size(bits.word) * 64; i += 64 - i % 64)  // past the text
    bits.word[i / 64] &= (std::uint64_t{1} << (i % 64)) - 1;
  return bits;
}

void parseTokens(const LineSlot& line, int count) {
  const TokenBits bits = tokenBits(line);
  std::size_t position = 0;
  for (int k = 0; k < count; ++k) {
    std::size_t start = bits.nextSet(position, true);
    if (start >= line.length) return;  // fewer tokens: the later slots keep their text
    std::size_t end = bits.nextSet(start, false);
    if (end > line.length) end = line.length;
    std::size_t length = end - start;
    if (length > kTokenSlotSize - 1) length = kTokenSlotSize - 1;  // cut; the rest is dropped
    // Whole 16 bytes for the common short token: the slot and the padded
    // line both have room, and the NUL then cuts it to length.
    bool whole = length <= 16 && start + 16 <= kLineSlotPadded;
    std::memcpy(tokenSlots.slot[k], line.text + start, whole ? 16 : length);
    tokenSlots.slot[k][length] = '\0';
    position = end;
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
  double value = decimalValue(number, number + n);
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
