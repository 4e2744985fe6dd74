#include <gtest/gtest.h>

#include <limits>
#include <mutex>

#include "GamePages/Player.h"
#include "WorldBounds.h"
#include "world/WorldModel.h"

namespace {

using GamePages::MovementInput;
using GamePages::Player;

// A world whose only solid blocks are a floor at height 63 under x and z
// from 0 to 15.
class PlayerOnAFloor : public testing::Test {
protected:
  void SetUp() override {
    std::lock_guard<std::mutex> lock(m_world.volumeMutex());
    for (int x = 0; x < 16; ++x)
      for (int z = 0; z < 16; ++z)
        m_world.volume().setVoxelAt(x, 63, z, TSVoxel(1));
  }

  float eyeY() const { return m_player.eye().current().y; }

  WorldModel m_world;
  Player m_player;
};

TEST_F(PlayerOnAFloor, FeetFollowTheGroundABlockATick) {
  m_player.placeFeetAt(8.5, 66.5, 8.5);
  const float feet[] = {65.5f, 64.5f, 64, 64};
  for (float expected : feet) {
    m_player.move({}, 0, m_world);
    EXPECT_FLOAT_EQ(float(m_player.feetY()), expected);
  }
}

// A jump lifts the eye two blocks in one tick and holds it there for the
// jump's twenty ticks; holding the key starts the next one at once.
TEST_F(PlayerOnAFloor, AJumpLiftsTwoBlocksAndHangsForTwentyTicks) {
  m_player.placeFeetAt(8.5, 64, 8.5);
  MovementInput jump;
  jump.jump = true;
  m_player.move(jump, 0, m_world);
  EXPECT_FLOAT_EQ(float(m_player.feetY()), 66);
  for (int tick = 1; tick < 20; ++tick) {
    m_player.move({}, 0, m_world);
    EXPECT_FLOAT_EQ(float(m_player.feetY()), 66) << tick;
  }
  m_player.move({}, 0, m_world);
  EXPECT_FLOAT_EQ(float(m_player.feetY()), 65) << "the jump is over: the feet fall again";

  for (int tick = 0; tick < 20; ++tick)
    m_player.move(jump, 0, m_world);
  EXPECT_FLOAT_EQ(float(m_player.feetY()), 67) << "one jump per twenty ticks held";
  m_player.move(jump, 0, m_world);
  EXPECT_FLOAT_EQ(float(m_player.feetY()), 69);
}

TEST_F(PlayerOnAFloor, WalkingGoesAlongTheLookAndDrawsBetweenTheTicks) {
  m_player.placeFeetAt(8.5, 64, 8.5);
  MovementInput forward;
  forward.forward = true;
  m_player.move(forward, 0, m_world);
  EXPECT_FLOAT_EQ(m_player.eye().current().z, 8.3f);
  EXPECT_FLOAT_EQ(m_player.eye().drawnAt(0.5f).z, 8.4f);
  m_player.standStill();
  EXPECT_FLOAT_EQ(m_player.eye().drawnAt(0.5f).z, 8.3f);
  EXPECT_FLOAT_EQ(eyeY(), 64 + 1.62f);
}

// Running or jumping on and on, the player stops at the edge of the world:
// the eye and the reports stay within it.
TEST_F(PlayerOnAFloor, TheEdgeOfTheWorldStopsThePlayer) {
  const double edge = WorldBounds::HorizontalLimit;
  const double quarter = 1.5707963267948966;
  struct Case {
    const char* label;
    double x, feetY, z;
    // The camera's yaw: 0 runs along -z, a quarter turn along -x.
    double yaw;
    bool jump;
    Vox::Vector3DFloat eye;
  };
  const float top = float(WorldBounds::HeightLimit + GamePages::EyeHeight);
  const Case cases[] = {
      {"along +x", edge - 3, 70, 8.5, -quarter, false, {float(edge), 0, 8.5f}},
      {"along -x", -edge + 3, 70, 8.5, quarter, false, {float(-edge), 0, 8.5f}},
      {"along -z", 8.5, 70, -edge + 3, 0, false, {8.5f, 0, float(-edge)}},
      {"up", 8.5, WorldBounds::HeightLimit - 3, 8.5, 0, true, {8.5f, top, 8.5f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    m_player.placeFeetAt(c.x, c.feetY, c.z);
    MovementInput input;
    input.forward = !c.jump;
    input.fast = true;
    input.jump = c.jump;
    for (int tick = 0; tick < 60; ++tick)
      m_player.move(input, c.yaw, m_world);
    const Vox::Vector3DFloat eye = m_player.eye().current();
    EXPECT_FLOAT_EQ(eye.x, c.eye.x);
    EXPECT_FLOAT_EQ(eye.z, c.eye.z);
    if (c.jump)
      EXPECT_FLOAT_EQ(eye.y, c.eye.y);
    EXPECT_TRUE(WorldBounds::contains(eye.x, m_player.feetY(), eye.z));
  }
}

// Placed outside the world, the player stands at its nearest edge instead.
TEST_F(PlayerOnAFloor, APlaceOutsideTheWorldIsHeldAtItsEdge) {
  m_player.placeFeetAt(std::numeric_limits<double>::quiet_NaN(), 1e9, -1e300);
  const Vox::Vector3DFloat eye = m_player.eye().current();
  EXPECT_EQ(eye.x, 0.0f);
  EXPECT_FLOAT_EQ(float(m_player.feetY()), float(WorldBounds::HeightLimit));
  EXPECT_EQ(eye.z, float(-WorldBounds::HorizontalLimit));
}

} // namespace
