#ifndef BENCH_ENDTOEND_LOAD_REPORT_H
#define BENCH_ENDTOEND_LOAD_REPORT_H

#include "ExtractionBound.h"
#include "LoadRun.h"

// Prints the figures of one run next to their goals, then where the time
// went.
void printLoadReport(const LoadRecord& record, const ExtractionBound& bound);

#endif
