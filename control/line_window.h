// The line window: the four most recent report lines, shared by every pass.
// Slot 0 is the oldest, slot 3 the newest. `advance` shifts the window and
// reads the next line into slot 3; `readSlot` reads a scratch line straight
// into slot 0 or 1. A line's text ends at its first NUL byte for every copy,
// test and parse, so each slot keeps the length of that text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarvel {

inline constexpr std::size_t kLineSlotSize = 200;  // 199 characters and a NUL
inline constexpr std::size_t kLineSlotPadded = 208;  // whole 16-byte blocks, for the line copy and token scan

struct LineSlot {
  // A line of up to kLineSlotSize bytes; the bytes past it are only ever
  // loaded in whole blocks by the token scan, which masks them off.
  alignas(16) char text[kLineSlotPadded] = {};
  std::uint8_t length = 0;  // characters before the first NUL

  std::string_view view() const { return {text, length}; }
};

struct LineWindow {
  // Shifting rotates this order instead of copying three lines:
  // slot i is storage[order[i]].
  std::uint8_t order[4] = {0, 1, 2, 3};
  LineSlot storage[4];
};

extern LineWindow lineWindow;

inline LineSlot& windowSlot(int index) { return lineWindow.storage[lineWindow.order[index]]; }

// Slot 0 takes slot 1, 1 takes 2, 2 takes 3, and the next report line goes
// into slot 3. At the end of the report slot 3 keeps its line (so slots 2
// and 3 then hold the same text) and the result is false.
bool advance();

// Reads the next report line into slot 0 or 1 without shifting. At the end
// of the report the slot stays as it was and the result is false.
bool readSlot(int index);

// True when `marker` occurs anywhere in the line's text (case-sensitive).
bool containsMarker(const LineSlot& line, std::string_view marker);

// A line of numbers in solver notation: it holds "E-" or "E+".
bool isNumericLine(const LineSlot& line);


}  // namespace quarvel
