// The line window and the line tests. See line_window.h.
#include "control/line_window.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

CandidateLetters candidateLetters(const LineSlot& line) {
  CandidateLetters found{false, false, false, false};
#if defined(__SSE2__)
  unsigned carriedE = 0;  // an E in the last byte of the previous block
  unsigned signAfterE = 0, sOrF = 0, m = 0, v = 0;
  for (std::size_t offset = 0; offset < line.length; offset += 16) {
    __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(line.text + offset));
    unsigned inText = line.length - offset >= 16 ? 0xFFFFu : (1u << (line.length - offset)) - 1;
    auto bits = [&](char letter) {
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_set1_epi8(letter)))) & inText;
    };
    unsigned e = bits('E');
    signAfterE |= ((e << 1) | carriedE) & (bits('+') | bits('-'));
    carriedE = e >> 15;
    sOrF |= bits('S') | bits('F');
    m |= bits('M');
    v |= bits('V');
  }
  found = {signAfterE != 0, sOrF != 0, m != 0, v != 0};
#else
  for (std::size_t i = 0; i < line.length; ++i) {
    char c = line.text[i];
    if (c == 'E' && i + 1 < line.length && (line.text[i + 1] == '+' || line.text[i + 1] == '-')) found.numeric = true;
    if (c == 'S' || c == 'F') found.capitalSOrF = true;
    if (c == 'M') found.capitalM = true;
    if (c == 'V') found.capitalV = true;
  }
#endif
  return found;
}

}  // namespace quarvel
