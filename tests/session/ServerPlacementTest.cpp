// A server that behaves like a real one of the protocol: no spawn point, its
// position right after the login, a chat line, then a PlayerPosition with
// the place it wants the player at. The session goes on for a minute.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <thread>

#include "ClientRun.h"
#include "SessionServer.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

struct Place {
  double x, z;
};

const Place First{8.5, 8.5};
const Place Second{20.5, -3.5};

double feetAbove(const Place& place) {
  return SessionServer::groundHeight(int(std::floor(place.x)), int(std::floor(place.z))) + 1;
}

void placeLikeARealServer(SessionServer& server) {
  TSPackets::PlayerPosAndLook place;
  place.x = First.x;
  place.y = feetAbove(First);
  place.stance = place.y + 1.62;
  place.z = First.z;
  server.send(place);
  TSPackets::ChatMessage welcome;
  welcome.message = "Welcome";
  server.send(welcome);
  TSPackets::PlayerPosition moved;
  moved.x = Second.x;
  moved.y = feetAbove(Second);
  moved.stance = moved.y + 1.62;
  moved.z = Second.z;
  std::ostringstream bytes;
  moved.write(bytes);
  server.sendBytes(bytes.str());
  for (int x = -1; x <= 1; ++x)
    for (int z = -1; z <= 1; ++z)
      server.sendColumn(x, z);
}

bool at(const SessionServer::Report& report, const Place& place) {
  return std::abs(report.x - place.x) < 1e-3 && std::abs(report.z - place.z) < 1e-3;
}

TEST(ServerPlacement, SessionGoesOnForAMinuteFromTheServersPlaces) {
  SessionServer server(placeLikeARealServer);
  ClientProcess client(sessionConfig(server.port()));
  ASSERT_TRUE(startAndConnect(client)) << client.errors();
  ASSERT_TRUE(waitFor([&] { return !server.reports().empty(); }, 30s))
      << server.failure() << "\n" << client.output() << client.errors();
  const auto first = server.reports().front().received;
  std::this_thread::sleep_for(first + 60s - std::chrono::steady_clock::now());

  const std::vector<SessionServer::Report> reports = server.reports();
  const auto end = std::chrono::steady_clock::now();
  // Twenty reports a second from the first correction on, to the end.
  const double rate = double(reports.size()) / std::chrono::duration<double>(end - first).count();
  EXPECT_GT(rate, 18.0);
  EXPECT_LT(rate, 22.0);
  EXPECT_LT(end - reports.back().received, 1s);

  // Only places the server gave: the echo of the first, then the second.
  EXPECT_TRUE(at(reports.front(), First));
  EXPECT_TRUE(at(reports.back(), Second));
  std::size_t unknownPlaces = 0;
  for (const SessionServer::Report& report : reports)
    unknownPlaces += !at(report, First) && !at(report, Second);
  EXPECT_EQ(unknownPlaces, 0u);

  // The player turned to the correction's look, yaw 0 and pitch 0, and the
  // position without a look kept it.
  for (const SessionServer::Report& report : {reports.front(), reports.back()}) {
    EXPECT_NEAR(std::remainder(report.yaw, 360.0f), 0, 0.01) << report.yaw;
    EXPECT_NEAR(report.pitch, 0, 0.01);
  }

  EXPECT_NE(client.output().find("Chat: Welcome"), std::string::npos);
  EXPECT_EQ(client.errors().find("connection"), std::string::npos) << client.errors();
  std::chrono::milliseconds took;
  EXPECT_EQ(quitWithKey(client, took), 0) << client.errors();
  EXPECT_EQ(server.failure(), "");
}

} // namespace
