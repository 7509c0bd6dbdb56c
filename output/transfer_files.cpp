// The transfer files. See transfer_files.h.
#include "output/transfer_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "control/run_driver.h"
#include "control/run_tables.h"
#include "output/number_field.h"

namespace quarvel {

const double kGravitySquared = std::pow(kGravity, 2.0);

double transferValue(double stress, double referenceAcceleration) {
  double ratio = stress / referenceAcceleration;
  return std::pow(ratio, 2.0) * kGravitySquared;
}

void formatTransferRow(double frequency, double transfer, double stress, double referenceAcceleration,
                       char* row) {
  const double values[4] = {frequency, transfer, stress, referenceAcceleration};
  char* p = row;
  for (double value : values) {
    *p++ = ' ';
    formatNumberField(value, p);
    p += kNumberFieldWidth;
  }
  std::memcpy(p, "  \r\n", 4);  // CR LF on every platform
}

namespace {

constexpr std::size_t kRowsPerWrite = 1024;  // one write per 56 KiB of rows

// Every file's rows share their frequency and reference acceleration: each
// row is laid out once, with those two fields filled in, and each file then
// fills in its own transfer value and stress.
std::vector<char> sharedRowTemplates() {
  const RunTables& t = runTables;
  std::vector<char> rows(static_cast<std::size_t>(t.frequencyCount) * kTransferRowSize);
  for (std::size_t i = 0; i < static_cast<std::size_t>(t.frequencyCount); ++i)
    formatTransferRow(t.frequencyTable[i], 0.0, 0.0, t.referenceAccelerationTable[i], &rows[i * kTransferRowSize]);
  return rows;
}

// Writes the rows of list position p, reading its stresses into
// `stresses`; false when a write fails.
bool writeRows(std::FILE* file, std::size_t position, const std::vector<char>& templates,
               std::vector<double>& stresses) {
  static char buffer[kRowsPerWrite * kTransferRowSize];
  const RunTables& t = runTables;
  const std::size_t rows = static_cast<std::size_t>(t.frequencyCount);
  t.stressTable.readRow(t.elementRow[position], stresses);
  constexpr std::size_t kTransferField = 1 + kNumberFieldWidth + 1;  // offsets in a row
  constexpr std::size_t kStressField = kTransferField + kNumberFieldWidth + 1;
  std::size_t filled = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const double stress = stresses[i];
    char* out = buffer + filled * kTransferRowSize;
    std::memcpy(out, &templates[i * kTransferRowSize], kTransferRowSize);
    formatNumberField(transferValue(stress, t.referenceAccelerationTable[i]), out + kTransferField);
    formatNumberField(stress, out + kStressField);
    if (++filled == kRowsPerWrite || i + 1 == rows) {
      if (std::fwrite(buffer, kTransferRowSize, filled, file) != filled) return false;
      filled = 0;
    }
  }
  return true;
}

}  // namespace

void writeTransferFiles() {
  const RunTables& t = runTables;
  const std::vector<char> templates = sharedRowTemplates();
  std::vector<double> stresses(static_cast<std::size_t>(t.frequencyCount));  // one row at a time
  for (std::size_t p = 0; p < t.elementList.size(); ++p) {
    char name[32];
    std::snprintf(name, sizeof name, "%ld_stressHH.dat", static_cast<long>(t.elementList[p]));
    std::FILE* file = std::fopen(name, "wb");  // create or truncate; we write the CR ourselves
    if (file == nullptr) {
      std::printf(" Failed to open file: %s \n", name);
      runFailed = true;
      continue;
    }
    std::printf(" File: %s opened. \n", name);
    bool written = writeRows(file, p, templates, stresses);
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;  // a full disk may only show here
    if (!written) {
      std::printf(" Failed to write file: %s \n", name);
      runFailed = true;
    }
  }
}

}  // namespace quarvel
