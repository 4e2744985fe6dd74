#include <gtest/gtest.h>

#include <set>

#include "server/ColumnStreamer.h"

using Server::ColumnStreamer;
using Kind = ColumnStreamer::Step::Kind;
using Column = std::pair<int, int>;

namespace {

std::vector<ColumnStreamer::Step> allSteps(ColumnStreamer& streamer) {
  std::vector<ColumnStreamer::Step> steps;
  while (auto step = streamer.next())
    steps.push_back(*step);
  return steps;
}

int ring(const ColumnStreamer::Step& step, Column center) {
  return std::max(std::abs(step.chunkX - center.first), std::abs(step.chunkZ - center.second));
}

} // namespace

TEST(ColumnStreamer, NothingToDoBeforeTheCentreIsKnown) {
  ColumnStreamer streamer(2);
  EXPECT_FALSE(streamer.next());
}

TEST(ColumnStreamer, LoadsTheViewSquareNearestFirstAndOnlyOnce) {
  ColumnStreamer streamer(2);
  streamer.setCenter(-3, 5);
  const auto steps = allSteps(streamer);
  ASSERT_EQ(steps.size(), 25u);
  std::set<Column> columns;
  int lastDistance = 0;
  for (const auto& step : steps) {
    EXPECT_EQ(step.kind, Kind::Load);
    const int dx = step.chunkX + 3, dz = step.chunkZ - 5;
    EXPECT_GE(dx * dx + dz * dz, lastDistance);
    lastDistance = dx * dx + dz * dz;
    columns.insert({step.chunkX, step.chunkZ});
  }
  EXPECT_EQ(columns.size(), 25u);
  EXPECT_EQ(steps.front().chunkX, -3);
  EXPECT_EQ(steps.front().chunkZ, 5);
}

TEST(ColumnStreamer, CrossingABorderUnloadsTheFarEdgeBeforeLoadingTheNewOne) {
  ColumnStreamer streamer(2);
  streamer.setCenter(0, 0);
  allSteps(streamer);
  streamer.setCenter(1, -1);
  const auto steps = allSteps(streamer);
  // Leaving x = -2 and z = 2 (9 columns), gaining x = 3 and z = -3 (9).
  ASSERT_EQ(steps.size(), 18u);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].kind, i < 9 ? Kind::Unload : Kind::Load);
    if (steps[i].kind == Kind::Unload)
      EXPECT_TRUE(steps[i].chunkX == -2 || steps[i].chunkZ == 2);
    else
      EXPECT_EQ(ring(steps[i], {1, -1}), 2);
  }
  EXPECT_EQ(streamer.loadedCount(), 25u);
  EXPECT_FALSE(streamer.loaded(-2, 0));
  EXPECT_TRUE(streamer.loaded(3, -3));
}

TEST(ColumnStreamer, HeldBytesGoOutRightAfterTheNearColumns) {
  for (int radius : {0, 1, 3}) {
    ColumnStreamer streamer(radius);
    streamer.setCenter(4, 4);
    streamer.holdUntilNearLoaded("position");
    const auto steps = allSteps(streamer);
    const std::size_t near = radius == 0 ? 1 : 9;
    ASSERT_GT(steps.size(), near) << radius;
    for (std::size_t i = 0; i < near; ++i)
      EXPECT_EQ(steps[i].kind, Kind::Load) << radius;
    EXPECT_EQ(steps[near].kind, Kind::Release) << radius;
    EXPECT_EQ(steps[near].bytes, "position") << radius;
    EXPECT_EQ(steps.size(), static_cast<std::size_t>((2 * radius + 1) * (2 * radius + 1)) + 1);
  }
}

// A client that dropped its world gets every column again around the new
// centre, the held bytes after the near ones, and no unload of a column it
// no longer has.
TEST(ColumnStreamer, ARestartSendsEveryColumnAgain) {
  ColumnStreamer streamer(1);
  streamer.setCenter(5, 5);
  allSteps(streamer);
  streamer.restart(5, 6, "place");
  const auto steps = allSteps(streamer);
  ASSERT_EQ(steps.size(), 10u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(steps[i].kind, Kind::Load);
    EXPECT_LE(ring(steps[i], {5, 6}), 1);
  }
  EXPECT_EQ(steps[9].kind, Kind::Release);
  EXPECT_EQ(steps[9].bytes, "place");
  EXPECT_FALSE(streamer.loaded(5, 4));
}
