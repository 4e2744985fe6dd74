// The client over a slow link: the window goes on while packets trickle in,
// the quit key works in the middle of a packet, and a server that stops
// inside a packet is given up after the stall time.

#include <gtest/gtest.h>

#include <thread>

#include "ClientRun.h"
#include "SessionServer.h"
#include "SlowLinkProxy.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

// Places the player, sends a column, then half of the next one, and stalls.
void stopInsideAColumn(SessionServer& server) {
  server.placePlayerAboveGround();
  server.sendColumn(0, 0);
  const std::string column = SessionServer::columnBytes(1, 0);
  server.sendBytes(column.substr(0, column.size() / 2));
  server.stall();
}

// Whether the client ticks a few times within a second.
bool ticksGoOn(const ClientProcess& client) {
  TickWatch ticks(client);
  ticks.update();
  const std::size_t before = ticks.count();
  std::this_thread::sleep_for(1s);
  ticks.update();
  return ticks.count() >= before + 5;
}

// Waits until the server has stalled and its last bytes have passed the link.
bool awaitStall(const SessionServer& server) {
  const bool stalled = waitFor([&] { return server.stalled(); }, 30s);
  std::this_thread::sleep_for(200ms);
  return stalled;
}

TEST(SlowLink, TicksGoOnWhileTheWorldTricklesIn) {
  SessionServer server([](SessionServer& s) {
    s.placePlayerAboveGround();
    for (int x = -1; x <= 1; ++x)
      for (int z = -1; z <= 1; ++z)
        s.sendColumn(x, z);
    TSPackets::ChatMessage done;
    done.message = "streamed";
    s.send(done);
  });
  // 2.5 KiB/s: each column takes most of a second to arrive.
  SlowLinkProxy link(server.port(), 256, 100ms);
  ClientProcess client(sessionConfig(link.port()));
  TickWatch ticks(client);
  ASSERT_TRUE(startAndConnect(client)) << client.errors();

  // The columns come in over several seconds; meanwhile the ticks go on. A
  // loop that waited for the world would pause for seconds; the bound leaves
  // room for a busy machine and an unoptimised sanitizer build.
  const auto connected = std::chrono::steady_clock::now();
  const auto deadline = connected + 90s;
  while (client.output().find("Chat: streamed") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
    ticks.update();
  }
  ASSERT_NE(client.output().find("Chat: streamed"), std::string::npos)
      << server.failure() << "\n" << client.errors();
  EXPECT_GT(std::chrono::steady_clock::now() - connected, 5s);
  EXPECT_LT(ticks.longestPauseSince(connected), 1s)
      << ticks.longestPauseSince(connected).count() << " ms";
  std::chrono::milliseconds took;
  EXPECT_EQ(quitWithKey(client, took), 0) << client.errors();
  EXPECT_EQ(server.failure(), "");
}

TEST(SlowLink, QuitKeyWorksWhileAPacketIsIncomplete) {
  SessionServer server(stopInsideAColumn);
  SlowLinkProxy link(server.port(), 2048, 20ms);
  ClientProcess client(sessionConfig(link.port()));
  ASSERT_TRUE(startAndConnect(client)) << client.errors();
  ASSERT_TRUE(awaitStall(server)) << server.failure();

  EXPECT_TRUE(ticksGoOn(client));
  std::chrono::milliseconds took;
  EXPECT_EQ(quitWithKey(client, took), 0) << client.errors();
  EXPECT_LT(took, 2s);
  EXPECT_TRUE(waitFor([&] { return server.disconnectReason() == "disconnect ferrowick"; }, 5s));
}

TEST(SlowLink, StalledPacketEndsTheSessionAfterTheStallTime) {
  SessionServer server(stopInsideAColumn);
  SlowLinkProxy link(server.port(), 2048, 20ms);
  ClientProcess client(sessionConfig(link.port(), 2));
  ASSERT_TRUE(startAndConnect(client)) << client.errors();
  ASSERT_TRUE(awaitStall(server)) << server.failure();

  const auto stalled = std::chrono::steady_clock::now();
  const std::string line = "connection stalled: message 0x33 incomplete after 2 s";
  ASSERT_TRUE(waitFor([&] { return client.errors().find(line) != std::string::npos; }, 10s))
      << client.errors();
  const auto waited = std::chrono::steady_clock::now() - stalled;
  EXPECT_GE(waited, 1500ms);
  EXPECT_LE(waited, 5s);

  // The window stays; the session is over.
  EXPECT_TRUE(ticksGoOn(client));
  std::chrono::milliseconds took;
  EXPECT_EQ(quitWithKey(client, took), 0) << client.errors();
}

} // namespace
