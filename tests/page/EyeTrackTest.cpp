#include <gtest/gtest.h>

#include "GamePages/EyeTrack.h"

namespace {

using GamePages::EyeTrack;
using Vox::Vector3DFloat;

void expectAt(const Vector3DFloat& actual, const Vector3DFloat& expected) {
  EXPECT_FLOAT_EQ(actual.x, expected.x);
  EXPECT_FLOAT_EQ(actual.y, expected.y);
  EXPECT_FLOAT_EQ(actual.z, expected.z);
}

// Frames draw the eye between the last two ticks; a place from the server
// is drawn where it is at once, without a glide from the old place.
TEST(EyeTrack, FramesDrawTheEyeBetweenTheLastTwoTicks) {
  EyeTrack eye;
  eye.placeAt({10, 70, -4});
  expectAt(eye.drawnAt(0), {10, 70, -4});
  eye.advance({0.2f, -1, 0});
  expectAt(eye.current(), {10.2f, 69, -4});
  expectAt(eye.drawnAt(0), {10, 70, -4});
  expectAt(eye.drawnAt(0.5f), {10.1f, 69.5f, -4});
  expectAt(eye.drawnAt(1), {10.2f, 69, -4});

  // A tick without motion ends the last one's: the eye stands still.
  eye.advance({});
  expectAt(eye.drawnAt(0.25f), {10.2f, 69, -4});

  eye.advance({1, 0, 0});
  eye.placeAt({-300, 80, 5});
  expectAt(eye.drawnAt(0.5f), {-300, 80, 5});
}

} // namespace
