#include <gtest/gtest.h>

#include "TickSchedule.h"

namespace {

using namespace std::chrono_literals;
using Clock = TickSchedule::Clock;

const Clock::time_point Start = Clock::time_point() + 1h;

TEST(TickSchedule, TicksStayOnTheGridWhenTheyStartLate) {
  TickSchedule ticks(Start);
  EXPECT_TRUE(ticks.isDue(Start));
  EXPECT_EQ(ticks.start(Start + 30ms), Start);
  EXPECT_FALSE(ticks.isDue(Start + 49ms));
  EXPECT_EQ(ticks.next(), Start + 50ms);
  // 45 ms late, still within the period: nothing is dropped.
  EXPECT_EQ(ticks.start(Start + 95ms), Start + 50ms);
  EXPECT_EQ(ticks.next(), Start + 100ms);
  EXPECT_EQ(ticks.dropped(), 0u);
}

// A loop held up for 175 ms runs one tick, for the latest grid point, and
// goes on from the grid: no burst of three ticks to catch up.
TEST(TickSchedule, TicksMissedByAWholePeriodAreDropped) {
  TickSchedule ticks(Start);
  ticks.start(Start);
  EXPECT_EQ(ticks.start(Start + 225ms), Start + 200ms);
  EXPECT_EQ(ticks.dropped(), 3u);
  EXPECT_FALSE(ticks.isDue(Start + 249ms));
  EXPECT_EQ(ticks.start(Start + 250ms), Start + 250ms);
  EXPECT_EQ(ticks.dropped(), 3u);
}

TEST(TickSchedule, ProgressRunsFromTheLastTicksGridPointToTheNext) {
  TickSchedule ticks(Start);
  EXPECT_EQ(ticks.progress(Start), 1.0f) << "before any tick there is nothing to draw between";
  ticks.start(Start + 10ms);
  const struct {
    Clock::duration after;
    float progress;
  } cases[] = {{0ms, 0.0f}, {10ms, 0.2f}, {25ms, 0.5f}, {50ms, 1.0f}, {80ms, 1.0f}};
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(ticks.progress(Start + c.after), c.progress)
        << std::chrono::duration_cast<std::chrono::milliseconds>(c.after).count() << " ms";
}

} // namespace
