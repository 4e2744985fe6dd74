#ifndef BENCH_SOAK_SOAK_REPORT_H
#define BENCH_SOAK_SOAK_REPORT_H

#include "SoakRun.h"

// The goal: after the first minute, resident memory grows by at most this
// share of the first minute's.
constexpr double SoakGrowthGoal = 0.10;

// Prints one line per minute and the growth against the goal; false when
// the walk failed or missed the goal.
bool printSoakReport(const SoakRecord& record);

#endif
