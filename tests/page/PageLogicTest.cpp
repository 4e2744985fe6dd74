#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "GamePages/ControlLayout.h"
#include "GamePages/PlayerMotion.h"
#include "GamePages/ProtocolLook.h"
#include "GamePages/TimePacing.h"

namespace {

using namespace GamePages;

TEST(ControlLayout, NamesSelectTheirKeysExactly) {
  struct Case {
    std::string name;
    MovementKeys keys;
  };
  const MovementKeys arrows = {OIS::KC_UP, OIS::KC_DOWN, OIS::KC_RIGHT,
                               OIS::KC_LEFT, OIS::KC_SPACE, OIS::KC_LSHIFT};
  const std::vector<Case> cases = {
      {"neo2", {OIS::KC_L, OIS::KC_A, OIS::KC_E, OIS::KC_I, OIS::KC_SPACE, OIS::KC_U}},
      {"wasd", {OIS::KC_W, OIS::KC_S, OIS::KC_D, OIS::KC_A, OIS::KC_SPACE, OIS::KC_LSHIFT}},
      {"WASD", arrows},
      {"", arrows},
      {"wasd ", arrows},
  };
  for (const Case& c : cases)
    EXPECT_EQ(controlLayout(c.name), c.keys) << '"' << c.name << '"';
}

// Runs ticks of the pacing and collects what they print.
struct PacedTicks {
  std::vector<std::string> lines;
  std::vector<bool> rendered;
};

PacedTicks pace(std::int64_t& local, std::int64_t& server, int ticks) {
  PacedTicks result;
  std::ostringstream captured;
  std::streambuf* original = std::cout.rdbuf(captured.rdbuf());
  for (int i = 0; i < ticks; ++i)
    result.rendered.push_back(paceTime(local, server));
  std::cout.rdbuf(original);
  std::istringstream lines(captured.str());
  for (std::string line; std::getline(lines, line);)
    result.lines.push_back(line);
  return result;
}

TEST(TimePacing, InStepOrOneTickApartIsQuiet) {
  for (std::int64_t gap : {0, 1, -1}) {
    std::int64_t local = 500 + gap, server = 500;
    const PacedTicks ticks = pace(local, server, 1);
    EXPECT_TRUE(ticks.lines.empty()) << gap;
    EXPECT_EQ(ticks.rendered, std::vector<bool>{true});
    EXPECT_EQ(local, 501 + gap);
    EXPECT_EQ(server, 501);
  }
}

TEST(TimePacing, HugeGapClosesAtOnce) {
  std::int64_t local = 40, server = 6000;
  const PacedTicks ticks = pace(local, server, 2);
  EXPECT_EQ(ticks.lines, std::vector<std::string>{
                             "can't catch up to server time, probably connecting or huge lag"});
  EXPECT_EQ(local, 6002);
  EXPECT_EQ(server, 6002);
}

TEST(TimePacing, ClientAheadSlowsDownOneTickAtATime) {
  std::int64_t local = 105, server = 100;
  const PacedTicks ticks = pace(local, server, 6);
  EXPECT_EQ(ticks.lines, std::vector<std::string>(4, "too fast, slowing down"));
  EXPECT_EQ(ticks.rendered, std::vector<bool>(6, true));
  EXPECT_EQ(local - server, 1);
}

TEST(TimePacing, ClientBehindSkipsFrames) {
  std::int64_t local = 97, server = 100;
  const PacedTicks ticks = pace(local, server, 4);
  EXPECT_EQ(ticks.lines, std::vector<std::string>(2, "you are too slow, render less"));
  EXPECT_EQ(ticks.rendered, (std::vector<bool>{false, false, true, true}));
  EXPECT_EQ(local - server, -1);
}

TEST(TimePacing, GapOfExactlyTwoHundredIsReducedNotJumped) {
  std::int64_t local = 200, server = 0;
  const PacedTicks ticks = pace(local, server, 1);
  EXPECT_EQ(ticks.lines, std::vector<std::string>{"too fast, slowing down"});
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

TEST(ProtocolLook, YawTurnsToThePlusZConventionAndPitchFlips) {
  struct Case {
    float cameraYaw, yaw;
  };
  for (const Case& c : {Case{0, 180}, Case{11.31f, 168.69f}, Case{90, 90}, Case{-90, 270},
                        Case{180, 0}, Case{-180, 0}, Case{-179.99f, 359.99f}}) {
    const float yaw = protocolYaw(c.cameraYaw);
    EXPECT_NEAR(yaw, c.yaw, 1e-3) << c.cameraYaw;
    EXPECT_GE(yaw, 0.0f);
    EXPECT_LT(yaw, 360.0f);
  }
  EXPECT_LT(protocolYaw(180.00001f), 360.0f);
  EXPECT_EQ(protocolPitch(30), -30);
  EXPECT_EQ(protocolPitch(-11.1f), 11.1f);
  EXPECT_FALSE(std::signbit(protocolPitch(0)));
}

TEST(PlayerMotion, KeysGiveNormalisedMotionRelativeToTheLook) {
  struct Case {
    double yaw;
    MovementInput input;
    Vox::Vector3DFloat expected;
  };
  MovementInput forwardRight;
  forwardRight.forward = forwardRight.right = true;
  MovementInput forwardRightFast = forwardRight;
  forwardRightFast.fast = true;
  MovementInput fastOnly;
  fastOnly.fast = true;
  MovementInput forwardAndBack;
  forwardAndBack.forward = forwardAndBack.back = true;
  MovementInput leftAndRight;
  leftAndRight.left = leftAndRight.right = true;
  MovementInput back;
  back.back = true;
  const std::vector<Case> cases = {
      {0, forwardRight, {0.1414f, 0, -0.1414f}},
      {0, forwardRightFast, {3.5355f, 0, -3.5355f}},
      {0, fastOnly, {0, 0, 0}},
      {0, forwardAndBack, {0, 0, -0.2f}},
      {0, leftAndRight, {-0.2f, 0, 0}},
      {1.5707963267948966, back, {0.2f, 0, 0}},
  };
  for (const Case& c : cases) {
    const Vox::Vector3DFloat v = horizontalMotion(c.yaw, c.input);
    EXPECT_NEAR(v.x, c.expected.x, 1e-4);
    EXPECT_NEAR(v.y, 0, 1e-6);
    EXPECT_NEAR(v.z, c.expected.z, 1e-4);
  }
}

TEST(PlayerMotion, FeetFollowTheGroundOneBlockPerTick) {
  Vox::LargeVolume<TSVoxel> volume;
  volume.setVoxelAt(0, 63, 0, TSVoxel(1));
  EXPECT_EQ(groundHeight(volume, 0.5f, 65.62f, 0.5f), 64);
  EXPECT_NEAR(groundFollowStep(65.62f, 64), 0.0f, 1e-5);

  volume.setVoxelAt(0, 64, 0, TSVoxel(2));
  EXPECT_EQ(groundHeight(volume, 0.5f, 65.62f, 0.5f), 65);
  EXPECT_NEAR(groundFollowStep(65.62f, 65), 1.0f, 1e-5);

  // The column is truncated toward zero: x = -0.5 scans x = 0.
  EXPECT_EQ(groundHeight(volume, -0.5f, 65.62f, -0.5f), 65);
  EXPECT_EQ(groundHeight(volume, -1.5f, 65.62f, 0.5f), -1);
  EXPECT_EQ(groundFollowStep(65.62f, -1), -1.0f);

  // Blocks above the eye are not ground; eyes below 1 see none.
  volume.setVoxelAt(5, 70, 5, TSVoxel(3));
  EXPECT_EQ(groundHeight(volume, 5, 65.62f, 5), -1);
  EXPECT_EQ(groundHeight(volume, 0.5f, 0.9f, 0.5f), -1);
}

TEST(PlayerMotion, FarAwayEyesScanNoFurtherThanTheWorld) {
  Vox::LargeVolume<TSVoxel> volume;
  volume.setVoxelAt(3, 100, 3, TSVoxel(1));
  EXPECT_EQ(groundHeight(volume, 3, 1e30f, 3), 101);
  EXPECT_EQ(groundHeight(volume, 3e9f, 80, 3), -1);
}

} // namespace
