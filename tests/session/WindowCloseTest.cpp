// Closing the client's window while a session goes on ends the program as
// the quit key does: with a goodbye to the server and exit status 0.

#include <gtest/gtest.h>

#include "ClientRun.h"
#include "SessionServer.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

void placePlayer(SessionServer& server) {
  server.placePlayerAboveGround();
  server.sendColumn(0, 0);
}

TEST(WindowClose, SaysGoodbyeToTheServerAndEndsTheProgram) {
  SessionServer server(placePlayer);
  ClientProcess client(sessionConfig(server.port()));
  ASSERT_TRUE(startAndConnect(client)) << client.errors();
  ASSERT_TRUE(waitFor([&] { return !server.reports().empty(); }, 30s))
      << server.failure() << client.errors();

  ASSERT_TRUE(xdotool("search --name Ferrowick windowclose"));
  EXPECT_EQ(client.waitForExit(20s), 0) << client.errors();
  EXPECT_TRUE(waitFor([&] { return server.disconnectReason() == "disconnect ferrowick"; }, 5s))
      << server.disconnectReason();
}

} // namespace
