// The run driver. See run_driver.h.
//
// The dialogue, in order: banner and credit line, the report name, the axis,
// the node count pass, the reference node, the element list pass, the main
// scan (which hands acceleration blocks to their reader and the first stress
// header to the stress collection pass), the closing diagnostic, and the
// transfer files.
#include "control/run_driver.h"

#include <cstdio>
#include <string>

#include "control/decimal_number.h"
#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/report_stream.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "output/transfer_files.h"
#include "readers/acceleration_block.h"
#include "readers/element_list.h"
#include "readers/node_count.h"
#include "readers/node_record.h"
#include "readers/stress_collection.h"

namespace quarvel {

std::int32_t axis = 0;
std::int32_t referenceNode = 0;
std::int32_t lineCounter = 0;
bool runFailed = false;

namespace {

// The answers are read from standard input as tokens. What follows a token
// stays unread for the next prompt, and an integer read that meets text that
// is not a number leaves both the value and the text as they were; that
// needs more push-back than stdio promises, so the reader keeps its own.
std::string consolePushBack;  // unread characters, last one first

int consoleGet() {
  if (consolePushBack.empty()) return std::getchar();
  int c = static_cast<unsigned char>(consolePushBack.back());
  consolePushBack.pop_back();
  return c;
}

void consoleUnget(int c) {
  if (c != EOF) consolePushBack.push_back(static_cast<char>(c));
}

bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int skipConsoleSpace() {
  int c = consoleGet();
  while (isSpace(c)) c = consoleGet();
  return c;
}

// The next white-space-delimited word, of any length; empty at end of input.
std::string readWordAnswer() {
  std::string word;
  int c = skipConsoleSpace();
  while (c != EOF && !isSpace(c)) {
    word.push_back(static_cast<char>(c));
    c = consoleGet();
  }
  consoleUnget(c);
  return word;
}

// A decimal integer with optional sign. Leaves `value` unchanged, and the
// text unread, when no number stands there or the input has ended.
void readIntegerAnswer(std::int32_t& value) {
  int c = skipConsoleSpace();
  int sign = 0;
  if (c == '+' || c == '-') {
    sign = c;
    c = consoleGet();
  }
  if (c < '0' || c > '9') {
    consoleUnget(c);
    if (sign != 0) consoleUnget(sign);
    return;
  }
  std::int64_t magnitude = 0;
  while (c >= '0' && c <= '9') {
    if (magnitude <= std::int64_t{1} << 32) magnitude = magnitude * 10 + (c - '0');
    c = consoleGet();
  }
  consoleUnget(c);
  value = saturatedInt32(sign == '-', magnitude);
}

void printWindowEcho() {
  std::printf("\n0 %s", windowSlot(0).text);
  std::printf("\n1 %s", windowSlot(1).text);
  std::printf("\n2 %s", windowSlot(2).text);
  std::printf("\n3 %s", windowSlot(3).text);
}

// Reads the report from where the element list pass left it, up to a stop
// marker, the first stress header, its end or kMainScanLimit lines.
void mainScan() {
  for (lineCounter = 0; lineCounter < kMainScanLimit; ++lineCounter) {
    if (!advance()) return;
    const LineSlot& line = windowSlot(3);
    if (containsMarker(line, kStopWarnings) || containsMarker(line, kStopFatalErrors)) {
      std::printf("\n\nb0: %s", line.text);
      return;
    }
    if (containsMarker(line, kAccelerationHeader)) readAccelerationBlock();
    if (containsMarker(line, kStressHeader)) {
      printWindowEcho();
      parseFrequencyLine(windowSlot(1));
      std::printf("\n s7: %s", tokenSlots.token(7));
      collectStresses();
      return;
    }
  }
}

}  // namespace

void resetRunState() {
  closeReport();
  lineWindow = LineWindow{};
  tokenSlots = TokenSlots{};
  runTables = RunTables{};
  nodeRecord = NodeRecord{};
  axis = referenceNode = lineCounter = 0;
  runFailed = false;
  consolePushBack.clear();
}

int runAnalysis() {
  std::printf("\n\n quarvel  ver 1.0    08/19/2004");
  std::printf("\n transfer functions of bar stresses from a complex frequency response report");

  std::printf("\n\n Enter input filename \n");
  std::string reportName = readWordAnswer();
  if (!openReport(reportName.c_str())) {
    std::printf(" Failed to open file: %s \n", reportName.c_str());
    std::fflush(stdout);
    return 1;
  }
  std::printf(" File: %s opened. \n", reportName.c_str());

  std::printf("\n Select excitation axis \n");
  std::printf("  1=X  2=Y  3=Z \n");
  readIntegerAnswer(axis);

  countNodes();

  std::printf("\n What is the reference node? \n");
  readIntegerAnswer(referenceNode);

  listElements();

  std::printf("\n ref 1 \n");
  runTables.frequencyCount = 0;
  mainScan();

  std::printf("\n\n ref 2    i=%ld \n", static_cast<long>(lineCounter));
  if (reportStream.readFailed) {
    // The tables hold only part of the report: keep whatever transfer files
    // exist rather than replace them with incomplete ones.
    std::printf(" Failed to read file: %s \n", reportName.c_str());
    runFailed = true;
  } else {
    writeTransferFiles();
  }
  closeReport();

  if (std::fflush(stdout) != 0 || std::ferror(stdout)) runFailed = true;
  return runFailed ? 1 : 0;
}

}  // namespace quarvel
