#include "SlowLinkRun.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "LoadRun.h"

namespace {

using namespace std::chrono_literals;

const SlowLink Kilobits64{256, 32ms};
const long LongGapMicros = 100000;
// A tick starts at most this long after the one before has ended, unless
// something outside the ticks holds the main thread.
const long TickPeriodMicros = 50000;

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

struct TickGaps {
  std::size_t gaps = 0;
  std::size_t longGaps = 0;
  // Long gaps with more than a tick period outside the ticks.
  std::size_t heldGaps = 0;
  long longestMicros = 0;
  // When the longest gap ended, from the Login.
  double longestAt = 0;
  // The longest time from the end of a tick to the start of the next: the
  // part of a gap that the ticks themselves do not explain.
  long longestBetweenMicros = 0;
};

// A tick's line comes when the tick ends: it started its duration earlier.
TickGaps tickGaps(const LoadRecord& record) {
  TickGaps gaps;
  for (std::size_t i = 1; i < record.ticks.size(); ++i) {
    const TickRecord& previous = record.ticks[i - 1];
    const TickRecord& tick = record.ticks[i];
    const long micros = long(std::chrono::duration_cast<std::chrono::microseconds>(
                                 tick.time - previous.time)
                                 .count()) -
                        tick.micros + previous.micros;
    ++gaps.gaps;
    gaps.longGaps += micros > LongGapMicros;
    const long between = micros - previous.micros;
    gaps.heldGaps += micros > LongGapMicros && between > TickPeriodMicros;
    gaps.longestBetweenMicros = std::max(gaps.longestBetweenMicros, between);
    if (micros > gaps.longestMicros) {
      gaps.longestMicros = micros;
      gaps.longestAt = seconds(tick.time - record.login);
    }
  }
  return gaps;
}

void printRun(const char* name, const LoadRecord& record, const TickGaps& gaps) {
  if (record.lastMesh)
    std::printf("  %-9s load %6.2f s;", name, seconds(*record.lastMesh - record.login));
  else
    std::printf("  %-9s %s;", name, record.failure.c_str());
  std::printf(" %zu gaps between tick starts, %zu over 100 ms (%zu of them with over 50 ms "
              "outside the ticks), the longest %.1f ms (%.2f s after Login); the longest time "
              "from a tick's end to the next start %.1f ms\n",
              gaps.gaps, gaps.longGaps, gaps.heldGaps, gaps.longestMicros / 1e3, gaps.longestAt,
              gaps.longestBetweenMicros / 1e3);
}

} // namespace

bool benchSlowLink(int viewRadius) {
  std::printf("slow link: view radius %d, direct and through 64 kbit/s in 256-byte segments\n",
              viewRadius);
  try {
    const LoadRecord direct = runLoad(viewRadius);
    const LoadRecord slow = runLoad(viewRadius, {}, Kilobits64);
    const TickGaps directGaps = tickGaps(direct);
    const TickGaps slowGaps = tickGaps(slow);
    printRun("direct", direct, directGaps);
    printRun("slow link", slow, slowGaps);
    std::printf("  goal: the slow link adds no gap over 100 ms that the direct run does not have: "
                "%s\n",
                slowGaps.longGaps <= directGaps.longGaps ? "met" : "MISSED");
    std::fflush(stdout);
    return direct.lastMesh && slow.lastMesh;
  } catch (const std::exception& error) {
    std::printf("  no figures: %s\n", error.what());
    return false;
  }
}
