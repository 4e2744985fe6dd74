// The swing of other players' legs, from the distance they move each update.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Entities/Stride.h"

namespace {

using Entities::Stride;

// The largest swing over the updates, either way.
float widestSwing(Stride& stride, const std::vector<double>& moves) {
  float widest = 0;
  for (double blocks : moves) {
    stride.walk(blocks);
    widest = std::max(widest, std::fabs(stride.swingDegrees()));
  }
  return widest;
}

std::vector<double> repeated(std::vector<double> pattern, int times) {
  std::vector<double> moves;
  for (int i = 0; i < times; ++i)
    moves.insert(moves.end(), pattern.begin(), pattern.end());
  return moves;
}

// Walking swings the legs nearly all the way, whether the server sends a
// move every update or every third; slower steps swing less; standing,
// teleports and nonsense moves do not swing them at all.
TEST(Stride, SwingsWithThePaceOfTheMoves) {
  const struct {
    const char* name;
    std::vector<double> moves;
    float atLeast, atMost;
  } cases[] = {
      {"standing", repeated({0}, 40), 0, 0},
      {"walking", repeated({0.2}, 40), 0.9f * Stride::MaxSwingDegrees, Stride::MaxSwingDegrees},
      {"running", repeated({0.3}, 40), 0.9f * Stride::MaxSwingDegrees, Stride::MaxSwingDegrees},
      {"moves every third update", repeated({0.6, 0, 0}, 14), 0.5f * Stride::MaxSwingDegrees,
       Stride::MaxSwingDegrees},
      {"sneaking", repeated({0.05}, 40), 0.1f * Stride::MaxSwingDegrees,
       0.35f * Stride::MaxSwingDegrees},
      {"teleports", repeated({Stride::TeleportBlocks * 3}, 40), 0, 0},
      {"not a number", repeated({std::numeric_limits<double>::quiet_NaN()}, 40), 0, 0},
      {"infinite", repeated({std::numeric_limits<double>::infinity()}, 40), 0, 0},
  };
  for (const auto& c : cases) {
    Stride stride;
    const float widest = widestSwing(stride, c.moves);
    EXPECT_GE(widest, c.atLeast) << c.name;
    EXPECT_LE(widest, c.atMost) << c.name;
  }
}

// One full swing, forward and back, for every stride's length walked.
TEST(Stride, SwingsBackAndForthOncePerStride) {
  Stride stride;
  const double step = 0.2;
  const int updatesPerStride = static_cast<int>(std::lround(Stride::StrideBlocks / step));
  int signChanges = 0;
  float last = 0;
  for (int update = 0; update < 4 * updatesPerStride; ++update) {
    stride.walk(step);
    const float swing = stride.swingDegrees();
    if ((swing > 0 && last < 0) || (swing < 0 && last > 0))
      ++signChanges;
    if (swing != 0)
      last = swing;
  }
  // Four strides: eight crossings of upright, less the one at the start.
  EXPECT_GE(signChanges, 7);
  EXPECT_LE(signChanges, 8);
}

// A player who stops stands upright within a second, and starts the next
// walk from there.
TEST(Stride, StoppingBringsTheLegsUpright) {
  Stride stride;
  widestSwing(stride, repeated({0.2}, 7));
  ASSERT_GT(std::fabs(stride.swingDegrees()), 5);
  int updates = 0;
  while (stride.swingDegrees() != 0 && updates < 100) {
    stride.walk(0);
    ++updates;
  }
  EXPECT_LE(updates, 20);
  stride.walk(0.2);
  EXPECT_GT(stride.swingDegrees(), 0) << "the next walk starts with the leading leg forward";
  EXPECT_LT(stride.swingDegrees(), 0.5f * Stride::MaxSwingDegrees);
}

} // namespace
