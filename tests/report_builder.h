// Builds small reports in the solver's layout for the end-to-end tests, and
// the texts quarvel echoes for them.
#pragma once

#include <string>
#include <vector>

namespace quarvel::test {

inline const std::string kAccelerationHeaderLine =
    "                             C O M P L E X   A C C E L E R A T I O N S\n";
inline const std::string kStressHeaderLine =
    "                 C O M P L E X   S T R E S S E S   I N   B A R   E L E M E N T S\n";
inline const std::string kMaximumLine = "      MAXIMUM      END-A   0.000000E+00    END-B   0.000000E+00\n";

// A page title, the frequency line (token 7 is `frequencyToken`) and a blank
// line: the three lines above every block header.
std::string blockPreamble(const std::string& frequencyToken);

struct NodeValues {
  long id;
  double x, y, z;
};
// Header, its four lines, then one 8 + 6 record per node, then a blank line.
std::string accelerationBlock(const std::string& frequencyToken, const std::vector<NodeValues>& nodes);
// The record lines alone, as the block writes them.
std::string nodeRecordLines(const NodeValues& node);

struct ElementValues {
  long id;
  double stress;  // the seventh real of the first line, token 8
};
// Header, its four lines, one pair per element, the MAXIMUM line (unless
// `closed` is false) and a blank line.
std::string stressBlock(const std::string& frequencyToken, const std::vector<ElementValues>& elements,
                        bool closed = true);
std::string pairLines(const ElementValues& element);
// The first and the second line of an element's pair, each with its line feed.
std::string pairFirstLine(const ElementValues& element);
std::string pairSecondLine(const ElementValues& element);
// A stress block whose lines after the header and its four lines are `body`
// exactly as given, then the MAXIMUM line (unless `closed` is false) and a
// blank line.
std::string stressBlockWithBody(const std::string& frequencyToken, const std::string& body, bool closed = true);

// The sweep of the typical report: acceleration blocks for 0.0, 10.0 and 20.0
// (nodes 1 to 3), then stress blocks for the same (elements 101 and 102).
// Node 1's Z is 2.0 at 10 Hz and 4.0 at 20 Hz; element 101's stress is 200.0
// and -100.0, element 102's 50.0 and 8.0.
std::string typicalReport(const std::string& firstFrequency = "0.000000E+00");

// The transfer file of element 101 or 102 from typicalReport() when its
// first frequency is refused: rows for 10 Hz and 20 Hz.
std::string typicalTransferFile(long element);

// "%14.6E" of a value: the solver's notation.
std::string solverReal(double value);

// Rows of a transfer file, as quarvel writes them.
struct Row {
  const char* frequency;
  const char* transfer;
  const char* stress;
  const char* acceleration;
};
std::string transferRows(const std::vector<Row>& rows);

}  // namespace quarvel::test
