// Report builder. See report_builder.h.
#include "tests/report_builder.h"

#include <cstdio>

namespace quarvel::test {

std::string solverReal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%14.6E", value);
  return text;
}

std::string blockPreamble(const std::string& frequencyToken) {
  return "     PLATE STUDY                                        PAGE     1\n"
         "     FORCED RESPONSE   SUBCASE 1   AT FREQUENCY   " + frequencyToken + "\n \n";
}

std::string nodeRecordLines(const NodeValues& node) {
  char head[64];
  std::snprintf(head, sizeof head, "   %10ld %7d", node.id, 1);
  return std::string(head) + " " + solverReal(node.x) + " " + solverReal(node.y) + " " + solverReal(node.z) +
         " " + solverReal(0.001) + " " + solverReal(-0.002) + " " + solverReal(0.0) + "\n" +
         "                     " + " " + solverReal(0.5) + " " + solverReal(-0.5) + " " + solverReal(0.25) +
         " " + solverReal(0.0) + " " + solverReal(0.0) + " " + solverReal(0.0) + "\n";
}

std::string accelerationBlock(const std::string& frequencyToken, const std::vector<NodeValues>& nodes) {
  std::string text = blockPreamble(frequencyToken) + kAccelerationHeaderLine +
                     "                                                (REAL/IMAGINARY)\n"
                     " \n"
                     "      POINT ID.   CODE      T1             T2             T3\n"
                     " \n";
  for (const NodeValues& node : nodes) text += nodeRecordLines(node);
  return text + " \n";
}

std::string pairLines(const ElementValues& element) {
  char head[32];
  std::snprintf(head, sizeof head, "   %8ld", element.id);
  std::string first = head;
  const double firstReals[8] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, element.stress, 8.0};
  for (double value : firstReals) first += " " + solverReal(value);
  std::string second = "           ";
  for (int k = 0; k < 8; ++k) second += " " + solverReal(-0.125 * k);
  return first + "\n" + second + "\n";
}

std::string pairFirstLine(const ElementValues& element) {
  std::string text = pairLines(element);
  return text.substr(0, text.find('\n') + 1);
}

std::string pairSecondLine(const ElementValues& element) {
  std::string text = pairLines(element);
  return text.substr(text.find('\n') + 1);
}

std::string stressBlockWithBody(const std::string& frequencyToken, const std::string& body, bool closed) {
  std::string text = blockPreamble(frequencyToken) + kStressHeaderLine +
                     "                                                (REAL/IMAGINARY)\n"
                     " \n"
                     "    ELEMENT       END-A S1       END-A S2       AXIAL\n"
                     "      ID.\n" +
                     body;
  if (closed) text += kMaximumLine;
  return text + " \n";
}

std::string stressBlock(const std::string& frequencyToken, const std::vector<ElementValues>& elements,
                        bool closed) {
  std::string body;
  for (const ElementValues& element : elements) body += pairLines(element);
  return stressBlockWithBody(frequencyToken, body, closed);
}

std::string typicalReport(const std::string& firstFrequency) {
  return accelerationBlock(firstFrequency, {{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 1.5}, {3, 0.5, 0.6, 1.7}}) +
         accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}, {2, 0.3, 0.4, 2.5}, {3, 0.5, 0.6, 2.7}}) +
         accelerationBlock("2.000000E+01", {{1, 0.1, 0.2, 4.0}, {2, 0.3, 0.4, 4.5}, {3, 0.5, 0.6, 4.7}}) +
         stressBlock(firstFrequency, {{101, 400.0}, {102, 300.0}}) +
         stressBlock("1.000000E+01", {{101, 200.0}, {102, 50.0}}) +
         stressBlock("2.000000E+01", {{101, -100.0}, {102, 8.0}}) + "     TOTAL WARNINGS =     0\n";
}

std::string transferRows(const std::vector<Row>& rows) {
  std::string text;
  char line[80];
  for (const Row& row : rows) {
    std::snprintf(line, sizeof line, " %12s %12s %12s %12s  \r\n", row.frequency, row.transfer, row.stress,
                  row.acceleration);
    text += line;
  }
  return text;
}

}  // namespace quarvel::test

namespace quarvel::test {

std::string typicalTransferFile(long element) {
  if (element == 101)
    return transferRows({{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
                         {"2.0000e+001", "9.3123e+007", "-1.0000e+002", "4.0000e+000"}});
  return transferRows({{"1.0000e+001", "9.3123e+007", "5.0000e+001", "2.0000e+000"},
                       {"2.0000e+001", "5.9598e+005", "8.0000e+000", "4.0000e+000"}});
}

}  // namespace quarvel::test
