#include <gtest/gtest.h>

#include <sstream>

#include "TSDataTypes.h"
#include "server/EntityMotion.h"

using namespace Server;

TEST(EntityMotion, FixedPointRoundsDownAndStaysInRange) {
  EXPECT_EQ(toFixed(8.5), 272);
  EXPECT_EQ(toFixed(-0.01), -1);
  EXPECT_EQ(toFixed(1e12), std::numeric_limits<int>::max());
  EXPECT_EQ(toFixed(-1e12), std::numeric_limits<int>::min());
}

TEST(EntityMotion, AnglesWrapToOneByte) {
  EXPECT_EQ(angleByte(0), 0);
  EXPECT_EQ(angleByte(90), 64);
  EXPECT_EQ(angleByte(180), -128);
  EXPECT_EQ(angleByte(-90), -64);
  EXPECT_EQ(angleByte(450), 64);
}

TEST(EntityMotion, SmallStepsAreRelativeAndLargeOnesTeleport) {
  const FixedPosition from{100, 200, 300};
  const std::string relative = movePacket(5, from, {227, 72, 300}, 3, 4);
  // id, entity, dx, dy, dz, yaw, pitch
  EXPECT_EQ(relative, std::string("\x21\x00\x00\x00\x05\x7f\x80\x00\x03\x04", 10));

  const std::string teleport = movePacket(5, from, {228, 200, 300}, 3, 4);
  ASSERT_EQ(teleport.size(), 19u);
  EXPECT_EQ(static_cast<unsigned char>(teleport[0]), 0x22);
  EXPECT_EQ(teleport.substr(5, 4), std::string("\x00\x00\x00\xe4", 4));
}
