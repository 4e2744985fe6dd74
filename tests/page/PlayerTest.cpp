#include <gtest/gtest.h>

#include <mutex>

#include "GamePages/Player.h"
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

} // namespace
