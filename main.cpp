// quarvel: transfer functions of bar stresses from a complex frequency
// response report. The operator answers three prompts on standard input;
// the run reads the report in passes and writes one transfer file per
// listed bar element into the current directory:
//
//   control/  the dialogue, the report stream, the line window, the tables
//   readers/  the passes that find blocks in the report and take values
//   output/   the transfer files and their number field
#include "control/run_driver.h"

int main() { return quarvel::runAnalysis(); }
