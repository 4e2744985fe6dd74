// Places the server gives the player that are not numbers, infinite, beyond
// the 32-bit block coordinates or at absurd heights, without a window: each
// is ignored with one line, moves nobody, is not echoed, and what the
// session reports stays where it was. Places at the very edge are taken.

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "SessionFixture.h"
#include "WorldBounds.h"

namespace {

using Lines = std::vector<std::string>;
using Place = std::vector<double>;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();
const double Edge = WorldBounds::HorizontalLimit;
const double Top = WorldBounds::HeightLimit;

std::string positionBytes(double x, double y, double z, double stance) {
  TSPackets::PlayerPosition position;
  position.x = x;
  position.y = y;
  position.stance = stance;
  position.z = z;
  std::ostringstream bytes;
  position.write(bytes);
  return bytes.str();
}

class RefusedPositions : public SessionTest {
protected:
  // Logs in and places the player at (5.5, 70, -7.25) with a correction.
  void SetUp() override {
    connectAndLogIn();
    serverSend(correction(5.5, 70, -7.25));
    receivePosition();
    m_placed.clear();
  }

  // The session still has the player at the first place, reports it, and
  // answered nothing since.
  void expectPlayerUnmoved() {
    EXPECT_TRUE(m_placed.empty());
    EXPECT_TRUE(clientIsQuiet());
    report(m_session->position().x, m_session->position().y, m_session->position().z);
    nudge();
    const TSPackets::PlayerPosAndLook report = receivePosition();
    EXPECT_EQ(report.x, 5.5);
    EXPECT_EQ(report.y, 70);
    EXPECT_EQ(report.stance, 71.62);
    EXPECT_EQ(report.z, -7.25);
  }
};

struct Refusal {
  const char* label;
  // The packet as it goes on the wire.
  std::string bytes;
  std::string line;
};

std::string correctionBytes(double x, double y, double z, double stance) {
  TSPackets::PlayerPosAndLook packet;
  packet.x = x;
  packet.y = y;
  packet.stance = stance;
  packet.z = z;
  return ServerPackets::bytes(packet);
}

std::string spawnBytes(std::int32_t x, std::int32_t y, std::int32_t z) {
  TSPackets::SpawnPoint packet;
  packet.x = x;
  packet.y = y;
  packet.z = z;
  return ServerPackets::bytes(packet);
}

TEST_F(RefusedPositions, PlacesOutsideTheWorldAreIgnoredWithALine) {
  const Refusal cases[] = {
      {"correction, x not a number", correctionBytes(NaN, 70, 0, 71.62),
       "ignored pos and look packet outside the world: x,y,z,stance = nan,70,0,71.62"},
      {"correction, infinite height", correctionBytes(0, Inf, 0, Inf),
       "ignored pos and look packet outside the world: x,y,z,stance = 0,inf,0,inf"},
      {"correction, huge z", correctionBytes(0, 70, -1e300, 71.62),
       "ignored pos and look packet outside the world: x,y,z,stance = 0,70,-1e+300,71.62"},
      {"correction, stance not a number", correctionBytes(0, 70, 0, NaN),
       "ignored pos and look packet outside the world: x,y,z,stance = 0,70,0,nan"},
      {"position, beyond the 32-bit blocks", positionBytes(2147483648.0, 70, 0, 71.62),
       "ignored position packet outside the world: x,y,z,stance = 2.14748e+09,70,0,71.62"},
      {"position, absurd height", positionBytes(0, 1e6, 0, 1e6 + 1.62),
       "ignored position packet outside the world: x,y,z,stance = 0,1e+06,0,1e+06"},
      {"position, minus infinity", positionBytes(-Inf, 70, 0, 71.62),
       "ignored position packet outside the world: x,y,z,stance = -inf,70,0,71.62"},
      {"spawn point, beyond the edge", spawnBytes(std::numeric_limits<std::int32_t>::max(), 64, 0),
       "ignored spawn position outside the world: 2147483647, 64, 0"},
      {"spawn point, absurd height", spawnBytes(0, std::numeric_limits<std::int32_t>::min(), 0),
       "ignored spawn position outside the world: 0, -2147483648, 0"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.label);
    const Lines before = m_capture.out();
    serverSendBytes(c.bytes);
    sync();
    Lines lines = m_capture.out();
    lines.erase(lines.begin(), lines.begin() + std::ptrdiff_t(before.size()));
    EXPECT_EQ(lines, Lines{c.line});
    expectPlayerUnmoved();
  }
}

// The edge of the world is still in it; the first place after refused ones
// moves the player as any other.
TEST_F(RefusedPositions, PlacesAtTheEdgeAreTaken) {
  serverSend(correction(NaN, NaN, NaN));
  serverSend(correction(-Edge, -Top, Edge));
  const TSPackets::PlayerPosAndLook echo = receivePosition();
  EXPECT_EQ(echo.x, -Edge);
  EXPECT_EQ(echo.y, -Top);
  EXPECT_EQ(echo.z, Edge);
  serverSendBytes(positionBytes(Edge, Top, -Edge, Top));
  serverSend(spawnPoint(-2147483392, 65535, 2147483392));
  sync();
  EXPECT_EQ(m_placed, (std::vector<Place>{{-Edge, -Top, Edge}, {Edge, Top, -Edge}}));
  EXPECT_EQ(m_session->position().y, 65536);
  EXPECT_FALSE(m_capture.mentions("ignored spawn"));
}

// A server that places the player only at impossible places never has the
// player spawned: nothing is reported to it, and its keep-alives are not
// answered, as before any place.
TEST_F(SessionTest, NoImpossiblePlaceStartsTheReports) {
  connectAndLogIn();
  serverSend(correction(NaN, 70, 0));
  serverSend(spawnPoint(0, std::numeric_limits<std::int32_t>::max(), 0));
  TSPackets::Ping ping;
  ping.keepAliveId = 3;
  serverSend(ping);
  sync();
  EXPECT_FALSE(m_session->spawned());
  EXPECT_TRUE(m_placed.empty());
  report(1, 2, 3);
  EXPECT_TRUE(clientIsQuiet());
}

} // namespace
