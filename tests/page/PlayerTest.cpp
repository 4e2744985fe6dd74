#include <gtest/gtest.h>

#include <limits>

#include "ColumnPacket.h"
#include "GamePages/Player.h"
#include "WorldBounds.h"
#include "player/WorldBlocks.h"
#include "world/ChunkPackets.h"
#include "world/WorldModel.h"

namespace {

using GamePages::Player;

// The protocol's yaws, in degrees.
const double AlongPlusZ = 0;
const double AlongMinusX = 90;
const double AlongMinusZ = 180;
const double AlongPlusX = 270;

PlayerBody::Controls walking(double yaw, bool run = false) {
  PlayerBody::Controls controls;
  controls.forward = 1;
  controls.run = run;
  controls.yaw = yaw;
  return controls;
}

// The world as a server sends it: the column at chunk 0, 0 with a stone
// floor under y = 64 and a wall two blocks high along x = 12, z from 0 to
// 15; the columns around it are air over the same floor.
class PlayerInServersWorld : public testing::Test {
protected:
  void SetUp() override {
    for (int chunkX = -1; chunkX <= 1; ++chunkX)
      for (int chunkZ = -1; chunkZ <= 1; ++chunkZ)
        ChunkPackets::apply(m_world, columnPacket({chunkX, 0, chunkZ}, [](int x, int y, int) {
                              return y < 64 || (x == 12 && y < 66) ? 1 : 0;
                            }));
  }

  // Ticks with the controls, checking that no tick ends inside a block.
  void walk(const PlayerBody::Controls& controls, int ticks) {
    const WorldBlocks blocks(m_world);
    for (int tick = 0; tick < ticks; ++tick) {
      m_player.move(controls, blocks);
      ASSERT_FALSE(PlayerBody::collides(m_player.feet(), blocks)) << "tick " << tick;
    }
  }

  WorldModel m_world;
  Player m_player;
};

// Straight at the wall the player stops at its face; at an angle they slide
// along it, and they never climb it without a jump.
TEST_F(PlayerInServersWorld, TheWallStopsThePlayerWhoSlidesAlongIt) {
  m_player.placeFeetAt(8.5, 64, 8.5);
  walk(walking(AlongPlusX), 40);
  EXPECT_NEAR(m_player.feet().x, 12 - PlayerBody::Width / 2, 1e-6);
  EXPECT_NEAR(m_player.feet().z, 8.5, 1e-6);
  EXPECT_DOUBLE_EQ(m_player.feetY(), 64);
  EXPECT_TRUE(m_player.onGround());

  walk(walking(AlongPlusX + 45), 20);
  EXPECT_NEAR(m_player.feet().x, 12 - PlayerBody::Width / 2, 1e-6);
  EXPECT_GT(m_player.feet().z, 10) << "slid along the wall";
  EXPECT_DOUBLE_EQ(m_player.feetY(), 64);
}

// Falling from the sky onto the floor: the feet land on it and stay.
TEST_F(PlayerInServersWorld, AFallLandsOnTheFloor) {
  m_player.placeFeetAt(4.5, 84, 4.5);
  walk({}, 60);
  EXPECT_DOUBLE_EQ(m_player.feetY(), 64);
  EXPECT_TRUE(m_player.onGround());
}

// Frames draw the eye between the last two ticks; a tick without motion
// ends the drawn motion.
TEST_F(PlayerInServersWorld, FramesDrawTheEyeBetweenTheTicks) {
  m_player.placeFeetAt(4.5, 64, 4.5);
  walk(walking(AlongMinusZ), 5);
  const float before = m_player.eye().drawnAt(0).z;
  const float after = m_player.eye().current().z;
  EXPECT_LT(after, before);
  EXPECT_FLOAT_EQ(m_player.eye().drawnAt(0.5f).z, (before + after) / 2);
  EXPECT_FLOAT_EQ(m_player.eye().current().y, 64 + 1.62f);
  m_player.standStill();
  EXPECT_FLOAT_EQ(m_player.eye().drawnAt(0.5f).z, after);
}

// A floor everywhere, also at the edges of the world.
class FloorEverywhere : public BlockSource {
public:
  std::optional<std::uint8_t> blockAt(std::int32_t, std::int32_t y, std::int32_t) const override {
    return y < 64 ? 1 : 0;
  }
};

// Running on and on, the player stops at the edge of the world: the eye and
// the reports stay within it.
TEST(PlayerAtTheEdge, TheEdgeOfTheWorldStopsThePlayer) {
  const double edge = WorldBounds::HorizontalLimit;
  struct Case {
    const char* label;
    double x, z, yaw;
    double expectedX, expectedZ;
  };
  const Case cases[] = {
      {"along +x", edge - 3, 8.5, AlongPlusX, edge, 8.5},
      {"along -x", -edge + 3, 8.5, AlongMinusX, -edge, 8.5},
      {"along -z", 8.5, -edge + 3, AlongMinusZ, 8.5, -edge},
      {"along +z", 8.5, edge - 3, AlongPlusZ, 8.5, edge},
  };
  const FloorEverywhere blocks;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Player player;
    player.placeFeetAt(c.x, 64, c.z);
    for (int tick = 0; tick < 60; ++tick)
      player.move(walking(c.yaw, true), blocks);
    EXPECT_DOUBLE_EQ(player.feet().x, c.expectedX);
    EXPECT_DOUBLE_EQ(player.feet().z, c.expectedZ);
    EXPECT_TRUE(WorldBounds::contains(player.feet().x, player.feetY(), player.feet().z));
  }
}

// Placed outside the world, the player stands at its nearest edge instead.
TEST(PlayerAtTheEdge, APlaceOutsideTheWorldIsHeldAtItsEdge) {
  Player player;
  player.placeFeetAt(std::numeric_limits<double>::quiet_NaN(), 1e9, -1e300);
  EXPECT_EQ(player.feet().x, 0.0);
  EXPECT_DOUBLE_EQ(player.feetY(), WorldBounds::HeightLimit);
  EXPECT_EQ(player.feet().z, -WorldBounds::HorizontalLimit);
  EXPECT_EQ(player.eye().current().z, float(-WorldBounds::HorizontalLimit));
}

} // namespace
