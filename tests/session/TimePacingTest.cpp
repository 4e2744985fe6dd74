#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "OutputCapture.h"
#include "session/TimePacing.h"

namespace {

using Lines = std::vector<std::string>;
using Steps = std::vector<PacingStep>;

Steps pace(std::int64_t& local, std::int64_t& server, int ticks) {
  Steps steps;
  for (int i = 0; i < ticks; ++i)
    steps.push_back(paceTime(local, server));
  return steps;
}

TEST(TimePacing, InStepOrOneTickApartIsKept) {
  for (std::int64_t gap : {0, 1, -1}) {
    std::int64_t local = 500 + gap, server = 500;
    EXPECT_EQ(pace(local, server, 1), Steps{PacingStep::Kept}) << gap;
    EXPECT_EQ(local, 501 + gap);
    EXPECT_EQ(server, 501);
  }
}

TEST(TimePacing, HugeGapClosesAtOnce) {
  std::int64_t local = 40, server = 6000;
  EXPECT_EQ(pace(local, server, 2), (Steps{PacingStep::CaughtUp, PacingStep::Kept}));
  EXPECT_EQ(local, 6002);
  EXPECT_EQ(server, 6002);
}

TEST(TimePacing, ClientAheadSlowsDownOneTickAtATime) {
  std::int64_t local = 105, server = 100;
  Steps expected(4, PacingStep::SlowedDown);
  expected.insert(expected.end(), 2, PacingStep::Kept);
  EXPECT_EQ(pace(local, server, 6), expected);
  EXPECT_EQ(local - server, 1);
}

TEST(TimePacing, ClientBehindCatchesUpOneTickAtATime) {
  std::int64_t local = 97, server = 100;
  EXPECT_EQ(pace(local, server, 4), (Steps{PacingStep::SpedUp, PacingStep::SpedUp,
                                           PacingStep::Kept, PacingStep::Kept}));
  EXPECT_EQ(local - server, -1);
}

TEST(TimePacing, GapOfExactlyTwoHundredIsReducedNotJumped) {
  std::int64_t local = 200, server = 0;
  EXPECT_EQ(pace(local, server, 1), Steps{PacingStep::SlowedDown});
  EXPECT_EQ(local - server, 199);
}

// Any 64-bit world time is taken; the counters wrap at the ends of the range
// as neighbours instead of overflowing.
TEST(TimePacing, TimesAtTheEndsOfTheRangeWrap) {
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  struct PaceCase {
    std::int64_t local, server, localAfter, serverAfter;
  };
  for (const PaceCase& c : {PaceCase{0, max, min, min}, PaceCase{max, max, min, min},
                            PaceCase{min, max, min + 1, min}, PaceCase{max, 0, 1, 1}}) {
    std::int64_t local = c.local, server = c.server;
    pace(local, server, 1);
    EXPECT_EQ(local, c.localAfter) << c.local << " " << c.server;
    EXPECT_EQ(server, c.serverAfter) << c.local << " " << c.server;
  }
  struct FollowCase {
    std::int64_t tracked, received, after;
  };
  for (const FollowCase& c : {FollowCase{max, max - 1, max}, FollowCase{max, min, max},
                              FollowCase{min, max, min}, FollowCase{0, min, min},
                              FollowCase{min, 0, 0}, FollowCase{1000, 1001, 1000},
                              FollowCase{1000, 998, 998}}) {
    std::int64_t tracked = c.tracked;
    followServerTime(tracked, c.received);
    EXPECT_EQ(tracked, c.after) << c.tracked << " " << c.received;
  }
}

// One tick's step at a time in milliseconds from the start.
struct TimedStep {
  int at;
  PacingStep step;
};

// Steps every 50 ms from `from` up to (not including) `to`.
std::vector<TimedStep> ticks(int from, int to, PacingStep step) {
  std::vector<TimedStep> steps;
  for (int at = from; at < to; at += 50)
    steps.push_back({at, step});
  return steps;
}

std::vector<TimedStep> operator+(std::vector<TimedStep> first, const std::vector<TimedStep>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

const char* const TooFast = "too fast, slowing down";
const char* const TooSlow = "you are too slow, render less";
const char* const FarBehind = "can't catch up to server time, probably connecting or huge lag";

// Each line is printed at most once a second, with how many ticks it stands
// for; none is lost, however few ticks follow.
TEST(PacingLines, EachLineAtMostOnceASecondWithItsTicks) {
  struct Case {
    const char* name;
    std::vector<TimedStep> steps;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"a single step prints as it always did", {{0, PacingStep::SlowedDown}}, {TooFast}},
      {"steps in step print nothing", ticks(0, 3000, PacingStep::Kept), {}},
      {"a burst is counted and told a second later",
       ticks(0, 200, PacingStep::SlowedDown) + ticks(200, 1500, PacingStep::Kept),
       {TooFast, std::string(TooFast) + " (3 ticks)"}},
      {"a client that lags for three seconds",
       ticks(0, 3000, PacingStep::SlowedDown) + ticks(3000, 4500, PacingStep::Kept),
       {TooFast, std::string(TooFast) + " (20 ticks)", std::string(TooFast) + " (20 ticks)",
        std::string(TooFast) + " (19 ticks)"}},
      {"each line keeps its own second",
       std::vector<TimedStep>{{0, PacingStep::CaughtUp},
                              {50, PacingStep::SlowedDown},
                              {100, PacingStep::SpedUp},
                              {150, PacingStep::SpedUp},
                              {200, PacingStep::SpedUp}} +
           ticks(250, 1500, PacingStep::Kept),
       {FarBehind, TooFast, TooSlow, std::string(TooSlow) + " (2 ticks)"}},
      {"a step after a quiet second prints at once",
       std::vector<TimedStep>{{0, PacingStep::SpedUp}, {1000, PacingStep::SpedUp}},
       {TooSlow, TooSlow}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    PacingLines lines;
    const PacingLines::Clock::time_point start;
    OutputCapture capture;
    for (const TimedStep& step : test.steps)
      lines.note(step.step, start + std::chrono::milliseconds(step.at));
    EXPECT_EQ(capture.out(), test.lines);
  }
}

} // namespace
