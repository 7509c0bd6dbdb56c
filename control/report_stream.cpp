// The report stream: buffered reads of the report file. See report_stream.h.
#include "control/report_stream.h"

#include "control/decimal_number.h"

#include <sys/stat.h>

#include <bit>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarvel {

ReportStream reportStream;

namespace {

// Character classes of formatted input, one table lookup each.
enum : unsigned char { kSpace = 1, kDigit = 2 };
constexpr auto kClasses = [] {
  struct Table {
    unsigned char of[256] = {};
  } table;
  for (int c = '\t'; c <= '\r'; ++c) table.of[c] = kSpace;
  table.of[static_cast<unsigned char>(' ')] = kSpace;
  for (int c = '0'; c <= '9'; ++c) table.of[c] = kDigit;
  return table;
}();
inline bool isSpace(unsigned char c) { return kClasses.of[c] == kSpace; }
inline bool isDigit(unsigned char c) { return kClasses.of[c] == kDigit; }

// Numbers longer than this many bytes (a hostile report) are converted from
// a condensed copy instead of in place: see convertLongReal().
constexpr std::size_t kInPlaceNumberLimit = 4096;

}  // namespace

bool openReport(const char* name) {
  closeReport();
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {  // a directory opens, but reads fail
    std::fclose(file);
    return false;
  }
  reportStream.file = file;
  reportStream.position = reportStream.limit = reportStream.buffer;
  reportStream.buffer[0] = '\0';
  reportStream.endOfFile = false;
  reportStream.readFailed = false;
  return true;
}

void closeReport() {
  if (reportStream.file != nullptr) std::fclose(reportStream.file);
  reportStream.file = nullptr;
  reportStream.position = reportStream.limit = reportStream.buffer;
  reportStream.buffer[0] = '\0';
  reportStream.endOfFile = true;
}

void rewindReport() {
  if (reportStream.file == nullptr) return;
  if (std::fseek(reportStream.file, 0, SEEK_SET) != 0) {
    reportStream.readFailed = true;  // a report we cannot rewind (a pipe): the rest is lost
    reportStream.endOfFile = true;
    reportStream.position = reportStream.limit;
    return;
  }
  std::clearerr(reportStream.file);
  reportStream.position = reportStream.limit = reportStream.buffer;
  reportStream.buffer[0] = '\0';
  reportStream.endOfFile = reportStream.readFailed;  // a read error stays final
}

std::size_t refillReport(std::size_t wanted) {
  ReportStream& s = reportStream;
  std::size_t available = reportAvailable();
  if (available >= wanted || s.endOfFile) return available;
  if (wanted > kReportBufferSize) wanted = kReportBufferSize;
  if (s.position != s.buffer) {  // keep the unread tail, at the front
    std::memmove(s.buffer, s.position, available);
    s.position = s.buffer;
    s.limit = s.buffer + available;
  }
  while (available < wanted && !s.endOfFile) {
    std::size_t got = std::fread(s.buffer + available, 1, kReportBufferSize - available, s.file);
    available += got;
    s.limit = s.buffer + available;
    if (got == 0) {
      if (std::ferror(s.file)) s.readFailed = true;
      s.endOfFile = true;
    }
  }
  s.buffer[available] = '\0';  // the sentinel
  return available;
}

int readReportLine(char* dest, std::size_t& textLength) {
  std::size_t available = reportAvailable();
  if (available < kLineLimit) available = refillReport(kLineLimit);
  if (available == 0) return -1;
  const std::size_t span = available < kLineLimit ? available : kLineLimit;
  const unsigned char* start = reportStream.position;
  std::size_t length = span;
  std::size_t nul = span;
#if defined(__SSE2__)
  // One pass copies the line and finds its line feed and first NUL. The
  // loads may run up to 15 bytes past the buffered data, into the padding.
  const __m128i feed = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  for (std::size_t offset = 0; offset < span; offset += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + offset));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + offset), block);
    unsigned inLine = span - offset >= 16 ? 0xFFFFu : (1u << (span - offset)) - 1;
    auto feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, feed))) & inLine;
    auto nuls = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, zero))) & inLine;
    if (nuls != 0 && nul == span) nul = offset + static_cast<std::size_t>(std::countr_zero(nuls));
    if (feeds != 0) {
      length = offset + static_cast<std::size_t>(std::countr_zero(feeds)) + 1;
      break;
    }
  }
#else
  const void* found = std::memchr(start, '\n', span);
  if (found != nullptr) length = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - start) + 1;
  std::memcpy(dest, start, length);
  const void* firstNul = std::memchr(start, '\0', length);
  if (firstNul != nullptr) nul = static_cast<std::size_t>(static_cast<const unsigned char*>(firstNul) - start);
#endif
  dest[length] = '\0';
  textLength = nul < length ? nul : length;
  reportStream.position = start + length;
  return static_cast<int>(length);
}

namespace {

// Skips white space. Returns false when the report ends first.
// Skips white space. Returns EndOfInput when the report ends first, and
// NoMatch when the white space runs past kWhiteSpaceLimit: endless input (a
// device, a pipe) must not keep one formatted read going for ever.
constexpr std::size_t kWhiteSpaceLimit = std::size_t{16} << 20;  // no report holds 16 MiB of it in one place

Scan skipSpace() {
  std::size_t skipped = 0;
  for (;;) {
    const unsigned char* p = reportStream.position;
    const unsigned char* end = reportStream.limit;
    while (p < end && isSpace(*p)) ++p;
    skipped += static_cast<std::size_t>(p - reportStream.position);
    reportStream.position = p;
    if (p < end) return Scan::Converted;
    if (skipped > kWhiteSpaceLimit) return Scan::NoMatch;
    if (refillReport(1) == 0) return Scan::EndOfInput;
  }
}

// The byte `offset` places past the position, or -1 past the end of the
// report. Tops the buffer up when needed, which may move it.
inline int peekAt(std::size_t offset) {
  if (offset >= reportAvailable() && refillReport(offset + 1) <= offset) return -1;
  return reportStream.position[offset];
}

// Length of the real number at the position, 0 when none begins there.
std::size_t measureReal() {
  std::size_t n = 0;
  int c = peekAt(0);
  if (c == '+' || c == '-') c = peekAt(++n);
  std::size_t digits = 0;
  while (c >= 0 && isDigit(static_cast<unsigned char>(c))) { ++digits; c = peekAt(++n); }
  if (c == '.') {
    c = peekAt(++n);
    while (c >= 0 && isDigit(static_cast<unsigned char>(c))) { ++digits; c = peekAt(++n); }
  }
  if (digits == 0) return 0;  // a lone sign or point is no number
  if (c == 'e' || c == 'E') {  // the exponent counts only with its digits
    std::size_t e = n + 1;
    int d = peekAt(e);
    if (d == '+' || d == '-') d = peekAt(++e);
    if (d >= 0 && isDigit(static_cast<unsigned char>(d))) {
      while (d >= 0 && isDigit(static_cast<unsigned char>(d))) d = peekAt(++e);
      n = e;
    }
  }
  return n;
}

}  // namespace

static Scan scanIntegerSlow(std::int32_t& value) {
  if (Scan space = skipSpace(); space != Scan::Converted) return space;
  std::size_t n = 0;
  int c = peekAt(0);
  bool negative = c == '-';
  if (c == '+' || c == '-') c = peekAt(++n);
  if (c < 0 || !isDigit(static_cast<unsigned char>(c))) return Scan::NoMatch;
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = std::int64_t{1} << 32;  // beyond every 32-bit value
  while (c >= 0 && isDigit(static_cast<unsigned char>(c))) {
    if (magnitude < kCap) magnitude = magnitude * 10 + (c - '0');
    // Consume as we go, so that a run of digits longer than the buffer works.
    reportStream.position += n + 1;
    n = 0;
    c = peekAt(0);
  }
  value = saturatedInt32(negative, magnitude);
  return Scan::Converted;
}

namespace {

// A real number too long to convert in place: its digits stream past while
// a condensed form keeps what decides the value: the first 800 significant
// digits, a sticky 1 when any later digit is not zero, and the decimal
// exponent. Correct rounding to a double never needs more than 767 digits.
Scan convertLongReal(double* value) {
  std::string digits;
  bool negative = false;
  bool sticky = false;
  std::int64_t exponent = 0;  // power of ten to apply to 0.<digits>
  bool seenNonZero = false;
  auto take = [&](bool beforePoint) {
    int c = reportStream.position[0];
    ++reportStream.position;
    if (!seenNonZero && c == '0') {
      if (!beforePoint) --exponent;  // leading zeros after the point scale down
      return;
    }
    seenNonZero = true;
    if (beforePoint) ++exponent;
    if (digits.size() < 800) digits.push_back(static_cast<char>(c));
    else if (c != '0') sticky = true;
  };
  int c = peekAt(0);
  if (c == '+' || c == '-') { negative = c == '-'; ++reportStream.position; c = peekAt(0); }
  while (c >= 0 && isDigit(static_cast<unsigned char>(c))) { take(true); c = peekAt(0); }
  if (c == '.') {
    ++reportStream.position;
    c = peekAt(0);
    while (c >= 0 && isDigit(static_cast<unsigned char>(c))) { take(false); c = peekAt(0); }
  }
  if (c == 'e' || c == 'E') {
    std::size_t e = 1;
    int d = peekAt(e);
    bool negativeExponent = false;
    if (d == '+' || d == '-') { negativeExponent = d == '-'; d = peekAt(++e); }
    if (d >= 0 && isDigit(static_cast<unsigned char>(d))) {
      reportStream.position += e;
      std::int64_t written = 0;
      while (d >= 0 && isDigit(static_cast<unsigned char>(d))) {
        if (written < 100000000) written = written * 10 + (d - '0');
        ++reportStream.position;
        d = peekAt(0);
      }
      exponent += negativeExponent ? -written : written;
    }
  }
  if (value == nullptr) return Scan::Converted;
  if (digits.empty()) { *value = negative ? -0.0 : 0.0; return Scan::Converted; }
  if (sticky) digits.push_back('1');
  if (exponent > 100000) exponent = 100000;
  if (exponent < -100000) exponent = -100000;
  std::string text = "0." + digits + "e" + std::to_string(exponent);
  *value = decimalValue(text.data(), text.data() + text.size());
  if (negative) *value = -*value;
  return Scan::Converted;
}

Scan scanRealInto(double* value) {  // the careful path: any length, any buffer position
  if (Scan space = skipSpace(); space != Scan::Converted) return space;
  std::size_t length = measureReal();
  if (length == 0) return Scan::NoMatch;
  if (length > kInPlaceNumberLimit || length > reportAvailable()) return convertLongReal(value);
  const char* begin = reinterpret_cast<const char*>(reportStream.position);
  if (value != nullptr) *value = decimalValue(begin, begin + length);
  reportStream.position += length;
  return Scan::Converted;
}

}  // namespace

namespace {

// The number of decimal digits at p, eight bytes at a time. Stops at the
// sentinel at the latest, which is no digit.
inline std::size_t digitRun(const unsigned char* p) {
  std::size_t run = 0;
  for (;;) {
    std::uint64_t v;
    std::memcpy(&v, p + run, 8);
    // Per byte: zero exactly when it is '0'..'9' (no carry crosses bytes).
    std::uint64_t other = ((v & 0xF0F0F0F0F0F0F0F0u) ^ 0x3030303030303030u) |
                          (((v & 0x0F0F0F0F0F0F0F0Fu) + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u);
    std::uint64_t flagged = (other | ((other & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu)) & 0x8080808080808080u;
    if (flagged != 0) return run + static_cast<std::size_t>(std::countr_zero(flagged)) / 8;
    run += 8;
  }
}

}  // namespace

// The fast paths work on the buffered bytes alone. Whenever a scan reaches
// the end of the buffer (the sentinel), the number may go on in the next
// block, and the careful path above takes over from the same position.

Scan scanInteger(std::int32_t& value) {
  const unsigned char* p = reportStream.position;
  while (isSpace(*p)) ++p;
  const unsigned char* start = p;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  std::uint64_t magnitude = 0;
  const unsigned char* digits = p;
  while (isDigit(*p) && p - digits < 10) magnitude = magnitude * 10 + (*p++ - '0');
  if (p >= reportStream.limit || isDigit(*p)) {  // the buffer's end or a long number
    reportStream.position = start <= reportStream.limit ? start : reportStream.limit;
    return scanIntegerSlow(value);
  }
  if (p == digits) {
    reportStream.position = start;  // the white space is consumed, the text is not
    return Scan::NoMatch;
  }
  value = saturatedInt32(negative, static_cast<std::int64_t>(magnitude));
  reportStream.position = p;
  return Scan::Converted;
}

namespace {

// The solver prints its reals as d.ddddddE+dd, with an optional sign. This
// recognises that shape in one go, and with it the end of the number: the
// byte after the exponent's two digits must not be a third digit. Returns
// the length, or 0 for anything else (which the general scan then reads).
inline std::size_t solverRealLength(const unsigned char* start) {
  if (reportStream.limit - start < 16) return 0;  // the shape and its end must lie in the buffer
  std::size_t sign = (*start == '-' || *start == '+') ? 1 : 0;
  const unsigned char* p = start + sign;
#if defined(__SSE2__)
  __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i offset = _mm_sub_epi8(c, _mm_set1_epi8('0'));
  __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(9)), offset);
  unsigned digits = static_cast<unsigned>(_mm_movemask_epi8(digit)) & 0x1FFFu;
  constexpr unsigned kShape = 0b0'1100'1111'1101u;  // d.dddddd__dd and no 13th digit
  if (digits != kShape) return 0;
#else
  for (int i : {0, 2, 3, 4, 5, 6, 7, 10, 11})
    if (!isDigit(p[i])) return 0;
  if (isDigit(p[12])) return 0;
#endif
  if (p[1] != '.' || (p[8] | 0x20) != 'e' || (p[9] != '+' && p[9] != '-')) return 0;
  return sign + 12;
}

inline Scan scanRealFast(double* value) {
  const unsigned char* p = reportStream.position;
  while (isSpace(*p)) ++p;
  const unsigned char* start = p;
  if (std::size_t length = solverRealLength(start)) {
    if (value != nullptr) {
      const char* begin = reinterpret_cast<const char*>(start);
      *value = decimalValue(begin, begin + length);
    }
    reportStream.position = start + length;
    return Scan::Converted;
  }
  if (*p == '+' || *p == '-') ++p;
  std::size_t digits = digitRun(p);
  p += digits;
  if (*p == '.') {
    std::size_t fraction = digitRun(++p);
    p += fraction;
    digits += fraction;
  }
  const unsigned char* furthest = p;  // the byte that ended the scan
  if (digits != 0 && (*p == 'e' || *p == 'E')) {
    const unsigned char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    std::size_t exponent = digitRun(q);
    q += exponent;
    if (exponent != 0) p = q;
    furthest = q;
  }
  if (furthest >= reportStream.limit) {  // it may go on past the buffer
    reportStream.position = start <= reportStream.limit ? start : reportStream.limit;
    return scanRealInto(value);
  }
  if (digits == 0) {
    reportStream.position = start;
    return Scan::NoMatch;
  }
  if (value != nullptr) {
    const char* begin = reinterpret_cast<const char*>(start);
    *value = decimalValue(begin, reinterpret_cast<const char*>(p));
  }
  reportStream.position = p;
  return Scan::Converted;
}

}  // namespace

Scan scanReal(double& value) { return scanRealFast(&value); }
Scan skipReal() { return scanRealFast(nullptr); }

}  // namespace quarvel
