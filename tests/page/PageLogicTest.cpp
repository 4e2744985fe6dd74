#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GamePages/ControlLayout.h"
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

} // namespace
