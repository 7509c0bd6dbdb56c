// The report stream: the one input stream on the report, shared by every
// pass. It owns the file and a large read buffer, and offers the three kinds
// of read the passes make: a line read (at most 199 characters, up to and
// including a line feed), formatted numeric reads that skip white space the
// way standard formatted input does, and rewind.
//
// The hot paths are inline: a read checks the buffer and only calls
// refillReport() when it runs dry, so a line or a number costs a scan of
// bytes already in memory. Every pass sees the same position: a formatted
// read leaves the stream exactly where its conversion stopped, and the next
// line read begins there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quarvel {

inline constexpr std::size_t kReportBufferSize = 1u << 20;  // bytes per refill
inline constexpr std::size_t kLineLimit = 199;               // characters per line read

struct ReportStream {
  std::FILE* file = nullptr;
  const unsigned char* position = nullptr;  // next byte to hand out
  const unsigned char* limit = nullptr;     // one past the last buffered byte
  bool endOfFile = false;                   // the file has no bytes past limit
  bool readFailed = false;                  // a read error ended the input early
  // A NUL always follows the last buffered byte, so that the number scans
  // stop at the end of the buffer without checking the position each byte;
  // they load digits eight bytes at a time, hence the padding.
  unsigned char buffer[kReportBufferSize + 16];
};

extern ReportStream reportStream;

// Opens the named report for binary reading. Fails for a missing or
// unreadable file and for a directory; the stream is then left closed.
bool openReport(const char* name);
void closeReport();

// Back to the first byte; clears the end-of-input state (a read error stays).
void rewindReport();

// Tops the buffer up so that at least `wanted` bytes are available, moving
// the unread bytes to its front first. Returns the bytes now available,
// which is less than `wanted` only at the end of the report.
std::size_t refillReport(std::size_t wanted);

inline std::size_t reportAvailable() {
  return static_cast<std::size_t>(reportStream.limit - reportStream.position);
}

// Reads one line into dest: the next bytes up to and including a line feed,
// but at most kLineLimit of them, followed by a NUL. dest must hold
// kLineReadSpace bytes: the copy moves whole 16-byte blocks, so bytes past
// the NUL are scratch. Returns the number of bytes stored and sets
// textLength to the length of the text before its first NUL byte; returns
// -1 at the end of the report, leaving dest and textLength untouched.
inline constexpr std::size_t kLineReadSpace = 208;
int readReportLine(char* dest, std::size_t& textLength);

// Outcome of one conversion of a formatted read.
enum class Scan { Converted, NoMatch, EndOfInput };

// Each of these first skips white space, line breaks included (the skipped
// bytes are consumed, as in standard formatted input). Then it converts the
// longest number at the position; when the text there does not begin a
// number, nothing more is consumed and the result is NoMatch. EndOfInput
// means the report ended before any character of a number.
//   integer: optional sign, decimal digits (saturated to 32 bits)
//   real:    optional sign, digits with an optional point, optional exponent
//            e or E with optional sign and digits; no hex, inf or nan
Scan scanInteger(std::int32_t& value);
Scan scanReal(double& value);
Scan skipReal();  // same rules as scanReal, without converting

}  // namespace quarvel
