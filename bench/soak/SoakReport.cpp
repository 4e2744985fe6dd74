#include "SoakReport.h"

#include <cstdio>
#include <cstdlib>

namespace {

double mebibytes(long kibibytes) { return kibibytes / 1024.0; }

void printMinute(const MinuteSample& sample, const MinuteSample& first) {
  std::printf("minute %2d: %7.1f MiB resident (%+5.1f %% on minute 1); column %lld, %lld, "
              "%ld columns entered; %ld chunk meshes drawn, %ld ticks; %ld chunk objects\n",
              sample.minute, mebibytes(sample.residentKiB),
              100.0 * (sample.residentKiB - first.residentKiB) / first.residentKiB,
              static_cast<long long>(sample.columnX), static_cast<long long>(sample.columnZ),
              sample.columnsEntered, sample.meshesDrawn, sample.ticks, sample.chunkObjects);
}

} // namespace

bool printSoakReport(const SoakRecord& record) {
  std::printf("\nempty client before connecting: %.1f MiB resident\n",
              mebibytes(record.emptyResidentKiB));
  if (record.minutes.empty()) {
    std::printf("no minute completed: %s\n", record.failure.c_str());
    return false;
  }
  const MinuteSample& first = record.minutes.front();
  long peak = first.residentKiB;
  for (const MinuteSample& sample : record.minutes) {
    printMinute(sample, first);
    if (sample.residentKiB > peak)
      peak = sample.residentKiB;
  }
  const MinuteSample& last = record.minutes.back();
  const double growth = double(last.residentKiB - first.residentKiB) / first.residentKiB;
  const double peakGrowth = double(peak - first.residentKiB) / first.residentKiB;
  const bool met = peakGrowth <= SoakGrowthGoal;
  std::printf("\ngrowth after the first minute: %+.1f %% at the end, %+.1f %% at the highest "
              "(goal at most %.0f %%): %s\n",
              growth * 100, peakGrowth * 100, SoakGrowthGoal * 100, met ? "met" : "missed");
  if (record.deaths > 0)
    std::printf("deaths in falls: %d (each time the walker respawned and walked on from the "
                "spawn point)\n",
                record.deaths);
  if (!record.failure.empty())
    std::printf("the walk ended early: %s\n", record.failure.c_str());
  if (record.clientExit && *record.clientExit != 0)
    std::printf("the client exited with status %d\n", *record.clientExit);
  return met && record.failure.empty() && (!record.clientExit || *record.clientExit == 0);
}
