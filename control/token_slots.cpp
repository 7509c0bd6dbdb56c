// Token slots, parses and token conversions. See token_slots.h.
#include "control/token_slots.h"

#include "control/decimal_number.h"

#include <bit>
#include <cstring>

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
  std::uint64_t word[(kLineSlotPadded + 63) / 64] = {};
};

TokenBits tokenBits(const LineSlot& line) {
  TokenBits bits;
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i four = _mm_set1_epi8(4);
  constexpr std::size_t kBlocks = kLineSlotPadded / 16;
  for (std::size_t w = 0; w * 4 < kBlocks; ++w) {
    std::uint64_t word = 0;  // built in a register, stored once
    for (std::size_t block = 4 * w; block < 4 * w + 4 && block < kBlocks; ++block) {
      __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(line.text + 16 * block));
      __m128i fromTab = _mm_sub_epi8(c, tab);  // tab to carriage return map to 0..4
      __m128i space =
          _mm_or_si128(_mm_cmpeq_epi8(c, blank), _mm_cmpeq_epi8(_mm_min_epu8(fromTab, four), fromTab));
      word |= static_cast<std::uint64_t>(~_mm_movemask_epi8(space) & 0xFFFF) << (16 * (block % 4));
    }
    bits.word[w] = word;
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
  // Where the first `count` tokens start and end (one past), from the edges
  // of the bit mask: a start is a set bit after a clear one, an end the
  // reverse. The text's end is clear, so every token found has its end.
  const TokenBits bits = tokenBits(line);
  std::size_t starts[kTokenSlotCount];
  std::size_t ends[kTokenSlotCount];
  int started = 0;
  int ended = 0;
  std::uint64_t carry = 0;  // the last bit of the previous word
  for (std::size_t w = 0; w < std::size(bits.word) && ended < count; ++w) {
    std::uint64_t word = bits.word[w];
    std::uint64_t before = (word << 1) | carry;
    carry = word >> 63;
    for (std::uint64_t edge = word & ~before; edge != 0 && started < count; edge &= edge - 1)
      starts[started++] = w * 64 + static_cast<std::size_t>(std::countr_zero(edge));
    for (std::uint64_t edge = ~word & before; edge != 0 && ended < started; edge &= edge - 1)
      ends[ended++] = w * 64 + static_cast<std::size_t>(std::countr_zero(edge));
  }
  for (int k = 0; k < ended; ++k) {  // fewer tokens: the later slots keep their text
    std::size_t start = starts[k];
    std::size_t length = ends[k] - start;
    if (length > kTokenSlotSize - 1) length = kTokenSlotSize - 1;  // cut; the rest is dropped
    // Whole 16 bytes for the common short token: the slot and the padded
    // line both have room, and the NUL then cuts it to length.
    if (length <= 16 && start + 16 <= kLineSlotPadded) std::memcpy(tokenSlots.slot[k], line.text + start, 16);
    else std::memcpy(tokenSlots.slot[k], line.text + start, length);
    tokenSlots.slot[k][length] = '\0';
  }
}

}  // namespace

void parseFrequencyLine(const LineSlot& line) { parseTokens(line, 8); }
void parsePairLine(const LineSlot& line) { parseTokens(line, 9); }

double realValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  double value = 0.0;  // also when no number starts here
  decimalPrefix(text.data() + i, text.data() + text.size(), true, value);
  return value;
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
  return saturatedInt32(negative, magnitude);
}

double blockFrequency() { return realValue(tokenSlots.token(7)); }

}  // namespace quarvel
