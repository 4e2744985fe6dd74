#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GamePages/ControlLayout.h"
#include "GamePages/PlayerMotion.h"
#include "GamePages/ProtocolLook.h"

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
