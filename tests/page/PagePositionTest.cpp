// Where the page tells the server the player is.

#include <algorithm>
#include <sstream>

#include "PageFixture.h"

namespace {

using Lines = std::vector<std::string>;

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string bytesOf(const TSPackets::Packet& packet) {
  std::ostringstream out;
  packet.write(out);
  return out.str();
}

TSPackets::PlayerPosAndLook correction(double x, double y, double z) {
  TSPackets::PlayerPosAndLook packet;
  packet.x = x;
  packet.y = y;
  packet.stance = y + 1.62;
  packet.z = z;
  return packet;
}

void tick(GamePages::Tessellar& page, int count) {
  for (int i = 0; i < count; ++i)
    page.update();
}

// The position packet some servers send after the login moves the player
// like a correction, without a look and without an echo.
TEST_F(PageTest, PlayerPositionFromTheServerMovesThePlayer) {
  connectAndLogIn();
  serverSend(correction(5.5, 70, -7.25));
  receivePosition();
  TSPackets::PlayerPosition position;
  position.x = 20;
  position.y = 80;
  position.stance = 81.62;
  position.z = 30.5;
  serverSendBytes(bytesOf(position));
  pumpUntil([&] { return m_page->positionPacket().x == 20; });
  EXPECT_TRUE(
      contains(m_capture->out(), "received position packet: x,y,z,stance = 20,80,30.5,81.62"));
  const Ogre::Vector3 eye = m_page->cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.y, 81.62f);
  nudge();
  EXPECT_TRUE(clientIsQuiet());
  tick(*m_page, 1);
  nudge();
  const TSPackets::PlayerPosAndLook report = receivePosition();
  EXPECT_FLOAT_EQ(float(report.x), 20.0f);
  EXPECT_FLOAT_EQ(float(report.z), 30.5f);
}

} // namespace
