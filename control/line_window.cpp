// The line window and the line tests. See line_window.h.
#include "control/line_window.h"

#include <cstring>

#include "control/report_stream.h"

namespace quarvel {

LineWindow lineWindow;

namespace {

// Reads the next report line into `slot`; false (slot untouched) at the end.
bool readLineInto(LineSlot& slot) {
  static_assert(kLineSlotPadded >= kLineReadSpace);
  std::size_t length = 0;
  if (readReportLine(slot.text, length) < 0) return false;
  slot.length = static_cast<std::uint8_t>(length);
  return true;
}

}  // namespace

bool advance() {
  std::uint8_t* order = lineWindow.order;
  std::uint8_t oldest = order[0];
  order[0] = order[1];
  order[1] = order[2];
  order[2] = order[3];
  order[3] = oldest;  // the dropped slot's storage takes the new line
  LineSlot& newest = windowSlot(3);
  if (readLineInto(newest)) return true;
  const LineSlot& previous = windowSlot(2);  // at the end, slot 3 keeps its line
  std::memcpy(newest.text, previous.text, previous.length + 1u);
  newest.length = previous.length;
  return false;
}

bool readSlot(int index) { return readLineInto(windowSlot(index)); }

bool containsMarker(const LineSlot& line, std::string_view marker) {
  return line.view().find(marker) != std::string_view::npos;
}

bool isNumericLine(const LineSlot& line) {
  const char* p = line.text;
  const char* end = line.text + line.length;
  while (end - p >= 2) {
    const void* hit = std::memchr(p, 'E', static_cast<std::size_t>(end - p - 1));
    if (hit == nullptr) return false;
    p = static_cast<const char*>(hit) + 1;
    if (*p == '-' || *p == '+') return true;
  }
  return false;
}

}  // namespace quarvel
