// Where the page tells the server the player is: only places the server gave
// or the player's own movement since, in the protocol's look convention, and
// nothing to a new server before its Login.

#include <algorithm>
#include <cmath>
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

void tick(GamePages::Tessellar& page, int count) {
  for (int i = 0; i < count; ++i)
    page.tick();
}

using PositionTest = PageTest;

// A spawn point before any position: the first report is the spawn, never
// the camera's start far from it.
TEST_F(PositionTest, SpawnPointPlacesThePlayerForTheFirstReport) {
  connectAndLogIn();
  TSPackets::SpawnPoint spawn;
  spawn.x = 10;
  spawn.y = 64;
  spawn.z = -3;
  serverSend(spawn);
  pumpUntil([&] { return m_page->positionPacket().y == 65; });
  tick(*m_page, 1);
  nudge();
  const TSPackets::PlayerPosAndLook report = receivePosition();
  EXPECT_FLOAT_EQ(float(report.x), 10.0f);
  EXPECT_FLOAT_EQ(float(report.z), -3.0f);
  // No ground yet: the player may have fallen by a block since.
  EXPECT_GE(report.y, 63.99);
  EXPECT_LE(report.y, 65.01);
}

// The position packet some servers send after the login moves the player
// like a correction, without a look and without an echo.
TEST_F(PositionTest, PlayerPositionFromTheServerMovesThePlayer) {
  connectAndLogIn();
  correct(5.5, 70, -7.25);
  TSPackets::PlayerPosition position;
  position.x = 20;
  position.y = 80;
  position.stance = 81.62;
  position.z = 30.5;
  serverSendBytes(bytesOf(position));
  pumpUntil([&] { return m_page->positionPacket().x == 20; });
  EXPECT_TRUE(
      contains(m_capture->out(), "received position packet: x,y,z,stance = 20,80,30.5,81.62"));
  const Ogre::Vector3 eye = m_page->shell().cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.y, 81.62f);
  nudge();
  EXPECT_TRUE(clientIsQuiet());
  tick(*m_page, 1);
  nudge();
  const TSPackets::PlayerPosAndLook report = receivePosition();
  EXPECT_FLOAT_EQ(float(report.x), 20.0f);
  EXPECT_FLOAT_EQ(float(report.z), 30.5f);
}

// Reports carry yaw 0 along +z and 90 along -x, pitch positive looking down;
// the camera keeps its own look.
TEST_F(PositionTest, ReportsCarryTheProtocolsLookConvention) {
  connectAndLogIn();
  correct(0, 70, 0);
  struct Case {
    Ogre::Vector3 direction;
    float yaw, pitch;
  };
  const float down = std::sin(Ogre::Degree(30).valueRadians());
  const float level = std::cos(Ogre::Degree(30).valueRadians());
  for (const Case& c : {Case{{0, 0, 1}, 0, 0}, Case{{-level, -down, 0}, 90, 30},
                        Case{{0, down, -level}, 180, -30}, Case{{1, 0, 0}, 270, 0}}) {
    m_page->shell().setCameraDirection(c.direction);
    tick(*m_page, 1);
    nudge();
    const TSPackets::PlayerPosAndLook report = receivePosition();
    EXPECT_NEAR(report.yaw, c.yaw, 1e-3) << c.direction;
    EXPECT_NEAR(report.pitch, c.pitch, 1e-3) << c.direction;
    EXPECT_TRUE(m_page->shell().cameraNode()->getOrientation().zAxis().directionEquals(
        -c.direction.normalisedCopy(), Ogre::Degree(0.01f)));
  }
}

// A second connect starts a new session: nothing reaches the new server
// ahead of its Login.
TEST_F(PositionTest, ReconnectReportsNothingBeforeTheLogin) {
  connectAndLogIn();
  correct(5.5, 70, -7.25);
  pressKey(OIS::KC_8);
  acceptConnection();
  tick(*m_page, 3);
  EXPECT_EQ(serverReceive<TSPackets::HandShake>().connectionHash, "Tester");
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  serverSend(answer);
  EXPECT_EQ(serverReceive<TSPackets::Login>().userName, "Tester");
}

} // namespace
