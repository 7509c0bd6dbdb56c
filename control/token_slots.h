// The nine token slots T1..T9 and the conversions of a token to a number.
// The slots are persistent: a parse fills T1 upward with the tokens the line
// holds, up to its shape's count, and leaves the other slots as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "control/line_window.h"

namespace quarvel {

inline constexpr std::size_t kTokenSlotSize = 20;  // 19 characters and a NUL
inline constexpr int kTokenSlotCount = 9;

struct TokenSlots {
  char slot[kTokenSlotCount][kTokenSlotSize] = {};  // slot[0] is T1

  const char* token(int number) const { return slot[number - 1]; }  // Tn
};

extern TokenSlots tokenSlots;

// Fill T1..T8 (the frequency line of a block header) or T1..T9 (the first
// line of an element pair). A token longer than 19 characters keeps its
// first 19; the rest of it is dropped.
void parseFrequencyLine(const LineSlot& line);
void parsePairLine(const LineSlot& line);

// The longest leading decimal number of the text, after leading white space;
// the exponent letter may be E, e, D or d. Text that does not begin a number
// gives 0.0.
double realValue(std::string_view text);

// Optional sign and the leading decimal digits, after leading white space;
// 0 without digits. Saturates at the limits of 32 bits.
std::int32_t integerValue(std::string_view text);

// A block's frequency: the real value of T7 after the frequency line's parse.
double blockFrequency();

}  // namespace quarvel
