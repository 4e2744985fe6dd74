#include <gtest/gtest.h>

#include <cmath>

#include "TestBlocks.h"
#include "player/Movement.h"

namespace {

using PlayerBody::Controls;
using PlayerBody::State;
using Vox::Vector3DDouble;

State standingAt(double x, double y, double z) {
  State state;
  state.feet = {x, y, z};
  return state;
}

State run(State state, const Controls& controls, const BlockSource& blocks, int ticks) {
  for (int i = 0; i < ticks; ++i)
    state = PlayerBody::step(state, controls, blocks);
  return state;
}

Controls forwardAlong(double yaw, bool running = false) {
  Controls controls;
  controls.forward = 1;
  controls.yaw = yaw;
  controls.run = running;
  return controls;
}

class OnAFloor : public testing::Test {
protected:
  void SetUp() override { m_blocks.floorAt64(); }
  TestBlocks m_blocks;
};

// Blocks a second once the speed has settled: about 4.3 walking and 5.6
// running, whatever the direction.
TEST_F(OnAFloor, WalkingAndRunningReachThePlayersSpeeds) {
  const struct {
    double yaw;
    bool running;
    double low, high;
  } cases[] = {{0, false, 4.2, 4.5}, {90, false, 4.2, 4.5}, {225, false, 4.2, 4.5},
               {0, true, 5.5, 5.8},  {270, true, 5.5, 5.8}};
  for (const auto& c : cases) {
    State state = run(standingAt(0.5, 64, 0.5), forwardAlong(c.yaw, c.running), m_blocks, 20);
    const Vector3DDouble start = state.feet;
    state = run(state, forwardAlong(c.yaw, c.running), m_blocks, 20);
    const double covered = std::hypot(state.feet.x - start.x, state.feet.z - start.z);
    EXPECT_GT(covered, c.low) << c.yaw << (c.running ? " running" : " walking");
    EXPECT_LT(covered, c.high) << c.yaw << (c.running ? " running" : " walking");
    EXPECT_DOUBLE_EQ(state.feet.y, 64);
    EXPECT_TRUE(state.onGround);
  }
  // Yaw 0 walks along +z, 90 along -x.
  const State along = run(standingAt(0.5, 64, 0.5), forwardAlong(90), m_blocks, 10);
  EXPECT_LT(along.feet.x, -1);
  EXPECT_NEAR(along.feet.z, 0.5, 1e-9);
}

// A wall across z = 5 stops the box at its face; walking at an angle slides
// along it.
TEST_F(OnAFloor, WallsStopThePlayerWhoSlidesAlongThem) {
  for (int x = -32; x < 32; ++x)
    for (int y = 64; y < 70; ++y)
      m_blocks.set(x, y, 5, 1);
  const State straight = run(standingAt(0.5, 64, 0.5), forwardAlong(0), m_blocks, 60);
  EXPECT_DOUBLE_EQ(straight.feet.z, 5 - PlayerBody::Width / 2);
  EXPECT_DOUBLE_EQ(straight.velocity.z, 0);

  const State slanted = run(standingAt(0.5, 64, 0.5), forwardAlong(-45), m_blocks, 60);
  EXPECT_DOUBLE_EQ(slanted.feet.z, 5 - PlayerBody::Width / 2);
  EXPECT_GT(slanted.feet.x, 5) << "slid along the wall";
}

// A one-block step is climbed with a jump and not without; two blocks are
// not climbed at all.
TEST_F(OnAFloor, AJumpClearsOneBlockNotTwo) {
  // A platform one block high from z = 3 on.
  for (int x = -32; x < 32; ++x)
    for (int z = 3; z < 32; ++z)
      m_blocks.set(x, 64, z, 1);
  Controls jumping = forwardAlong(0);
  jumping.jump = true;
  const State walked = run(standingAt(0.5, 64, 0.5), forwardAlong(0), m_blocks, 40);
  EXPECT_DOUBLE_EQ(walked.feet.z, 3 - PlayerBody::Width / 2) << "no step up without a jump";
  EXPECT_DOUBLE_EQ(walked.feet.y, 64);
  const State jumped =
      run(run(standingAt(0.5, 64, 0.5), jumping, m_blocks, 20), forwardAlong(0), m_blocks, 20);
  EXPECT_GT(jumped.feet.z, 4);
  EXPECT_DOUBLE_EQ(jumped.feet.y, 65);

  // Two blocks high: the jump does not get up.
  for (int x = -32; x < 32; ++x)
    for (int z = 3; z < 32; ++z)
      m_blocks.set(x, 65, z, 1);
  const State blocked = run(standingAt(0.5, 64, 0.5), jumping, m_blocks, 40);
  EXPECT_DOUBLE_EQ(blocked.feet.z, 3 - PlayerBody::Width / 2);

  // The top of a jump from the floor: about 1.25 blocks.
  Controls up;
  up.jump = true;
  State state = standingAt(10.5, 64, 10.5);
  state.onGround = true;
  double highest = 0;
  for (int tick = 0; tick < 12; ++tick) {
    state = PlayerBody::step(state, up, m_blocks);
    up.jump = false;
    highest = std::max(highest, state.feet.y - 64);
  }
  EXPECT_NEAR(highest, 1.25, 0.01);
}

// A fall from 20 blocks lands on the floor in the ticks the accelerations
// give: speed (v - 0.08) * 0.98 a tick from rest.
TEST_F(OnAFloor, AFallLandsInTheTimeGravityGives) {
  int expected = 0;
  for (double height = 20, speed = 0; height > 0; ++expected) {
    height += speed;
    speed = (speed - 0.08) * 0.98;
  }
  State state = standingAt(0.5, 84, 0.5);
  int ticks = 0;
  while (!state.onGround && ticks < 200) {
    state = PlayerBody::step(state, {}, m_blocks);
    ++ticks;
    EXPECT_FALSE(PlayerBody::collides(state.feet, m_blocks));
  }
  EXPECT_EQ(ticks, expected);
  EXPECT_DOUBLE_EQ(state.feet.y, 64);
}

// A ceiling stops a jump at once.
TEST_F(OnAFloor, ACeilingStopsAJump) {
  m_blocks.set(0, 66, 0, 1);
  Controls up;
  up.jump = true;
  State state = standingAt(0.5, 64, 0.5);
  state.onGround = true;
  state = PlayerBody::step(state, up, m_blocks);
  EXPECT_DOUBLE_EQ(state.feet.y + PlayerBody::Height, 66);
  EXPECT_LE(state.velocity.y, 0);
}

// A walk about a room of pillars, turning every few ticks, with jumps: the
// box never ends a tick inside a block.
TEST_F(OnAFloor, NoTickEndsInsideABlock) {
  for (int x = -6; x <= 6; x += 3)
    for (int z = -6; z <= 6; z += 3)
      for (int y = 64; y < 64 + (x + z + 12) % 3; ++y)
        m_blocks.set(x, y, z, 1);
  State state = standingAt(0.5, 64, 0.5);
  for (int tick = 0; tick < 600; ++tick) {
    Controls controls = forwardAlong(tick * 7.0, tick % 3 == 0);
    controls.strafe = (tick / 40) % 2 ? 1 : -0.5;
    controls.jump = tick % 17 == 0;
    state = PlayerBody::step(state, controls, m_blocks);
    ASSERT_FALSE(PlayerBody::collides(state.feet, m_blocks)) << "tick " << tick;
  }
}

// Water slows the player down and the jump key swims up; the floor stops
// the sinking.
TEST_F(OnAFloor, WaterSlowsAndTheJumpKeySwims) {
  for (int x = -32; x < 32; ++x)
    for (int z = -32; z < 32; ++z)
      for (int y = 64; y < 68; ++y)
        m_blocks.set(x, y, z, 9);
  const State waded = run(standingAt(0.5, 64, 0.5), forwardAlong(0), m_blocks, 40);
  EXPECT_LT(waded.feet.z - 0.5, 4.2) << "less than half of the 8.4 blocks walked in 2 s";
  Controls swim;
  swim.jump = true;
  const State swum = run(standingAt(0.5, 64, 0.5), swim, m_blocks, 20);
  EXPECT_GT(swum.feet.y, 65);
  const State sunk = run(standingAt(0.5, 66, 0.5), {}, m_blocks, 100);
  EXPECT_DOUBLE_EQ(sunk.feet.y, 64);
}

// Swimming against a bank one block above the water, the player climbs out
// onto it; a bank two blocks above the water holds them in. The water's
// surface is at 67.
TEST_F(OnAFloor, ASwimmerClimbsOutOntoALowBank) {
  for (int x = -32; x < 32; ++x)
    for (int z = -32; z < 32; ++z) {
      const bool bank = z >= 4;
      const int top = !bank ? 67 : x < 8 ? 68 : 69;
      for (int y = 64; y < top; ++y)
        m_blocks.set(x, y, z, bank ? 1 : 9);
    }
  Controls swimForward = forwardAlong(0);
  swimForward.jump = true;
  const State climbed = run(standingAt(0.5, 64, 0.5), swimForward, m_blocks, 100);
  EXPECT_GE(climbed.feet.y, 68) << "on the bank (or jumping on it)";
  EXPECT_GT(climbed.feet.z, 4.3);

  const State held = run(standingAt(10.5, 64, 0.5), swimForward, m_blocks, 100);
  EXPECT_LT(held.feet.z, 4);
  EXPECT_LT(held.feet.y, 69);
}

// Where the server has not sent the column, the player neither falls nor
// walks in.
TEST(MissingColumns, HoldThePlayerUpAndStopThemLikeWalls) {
  TestBlocks blocks;
  blocks.missingColumn(0, 0);
  const State hovering = run(standingAt(0.5, 70, 0.5), {}, blocks, 40);
  EXPECT_DOUBLE_EQ(hovering.feet.y, 70);
  EXPECT_FALSE(hovering.onGround);

  TestBlocks floor;
  floor.floorAt64();
  floor.missingColumn(0, 3);
  const State walked = run(standingAt(0.5, 64, 0.5), forwardAlong(0), floor, 60);
  EXPECT_DOUBLE_EQ(walked.feet.z, 3 - PlayerBody::Width / 2);
}

} // namespace
