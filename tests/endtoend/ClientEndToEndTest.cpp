#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "ClientProcess.h"
#include "ImageStatistics.h"
#include "ScriptedWorld.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

double horizontalDistance(const PositionReport& a, const PositionReport& b) {
  return std::hypot(a.x - b.x, a.z - b.z);
}

// The real binary in its own working directory against a scripted server:
// connect on "8", receive a world and mobs, answer keep-alives, report the
// position every tick, walk, take a screenshot, quit on "0".
TEST(ClientEndToEnd, ConnectsPlaysAndQuits) {
  ScriptedWorld server;
  server.start();
  ClientProcess client(server.port());
  client.start();

  ASSERT_TRUE(xdotool("search --sync --onlyvisible --name Ferrowick")) << client.errors();
  // Let the first frames through before typing.
  std::this_thread::sleep_for(500ms);
  ASSERT_TRUE(xdotool("key 8"));

  ASSERT_TRUE(waitFor([&] { return server.reports().size() >= 20; }, 60s))
      << server.failure() << "\n" << client.output() << client.errors();
  EXPECT_EQ(server.userName(), "Walker");
  ASSERT_TRUE(waitFor([&] { return !server.keepAliveEchoes().empty(); }, 10s));

  // Twenty reports a second, counted over three seconds of the server's clock.
  const std::size_t before = server.reports().size();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(3s);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double rate = double(server.reports().size() - before) / seconds;
  EXPECT_GT(rate, 10.0);
  EXPECT_LT(rate, 30.0);

  // Walking forward moves the reported position.
  const PositionReport standing = server.reports().back();
  ASSERT_TRUE(xdotool("keydown w"));
  std::this_thread::sleep_for(1500ms);
  ASSERT_TRUE(xdotool("keyup w"));
  std::this_thread::sleep_for(500ms);
  const PositionReport walked = server.reports().back();
  EXPECT_GT(horizontalDistance(standing, walked), 2.0);
  EXPECT_NEAR(walked.stance - walked.y, 1.62, 1e-4);

  ASSERT_TRUE(xdotool("key F9"));
  ASSERT_TRUE(waitFor([&] { return !client.filesStartingWith("screenshot").empty(); }, 10s));
  std::this_thread::sleep_for(500ms);
  const ImageStatistics shot = jpegStatistics(client.filesStartingWith("screenshot").front());
  EXPECT_EQ(shot.width, 800);
  EXPECT_TRUE(showsTexturedWorld(shot)) << shot;

  ASSERT_TRUE(xdotool("key 0"));
  const std::optional<int> status = client.waitForExit(30s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0) << client.errors();
  EXPECT_TRUE(waitFor([&] { return server.disconnectReason() == "disconnect ferrowick"; }, 5s));
  EXPECT_EQ(server.failure(), "");

  const std::string output = client.output();
  EXPECT_NE(output.find("received spawn position: 8, "), std::string::npos) << output;
  EXPECT_NE(output.find("received pos and look packet:"), std::string::npos);
  const std::vector<int> echoes = server.keepAliveEchoes();
  EXPECT_TRUE(std::is_sorted(echoes.begin(), echoes.end()));
}

} // namespace
