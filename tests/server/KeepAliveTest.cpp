#include <gtest/gtest.h>

#include "ColumnWatcher.h"
#include "RunningServer.h"

TEST(KeepAlive, AnsweringKeepsTheClientAndSilenceDropsIt) {
  auto options = testOptions();
  options.viewRadius = 1;
  options.keepAliveTimeout = std::chrono::seconds(1);
  RunningServer server(options);
  ScriptedClient client(server.port());
  client.logIn("sleepy");

  // Several keep-alives in a row, each answered with its own id.
  int lastId = 0;
  for (int answered = 0; answered < 3; ++answered) {
    const auto ping = client.until<TSPackets::Ping>();
    EXPECT_NE(ping.keepAliveId, lastId);
    lastId = ping.keepAliveId;
    client.send(ping);
  }
  EXPECT_FALSE(server.waitForLog("keep-alive timeout", std::chrono::seconds(0)));

  // Now silence: the server says why and hangs up.
  const auto rest = client.drain();
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(rest.back().id, TSPackets::Disconnect::Id);
  EXPECT_EQ(std::any_cast<TSPackets::Disconnect>(rest.back().packet).reason, "Timed out");
  EXPECT_TRUE(server.waitForLog("connection 1 (sleepy) dropped: keep-alive timeout"));
}

TEST(KeepAlive, AConnectionThatNeverLogsInIsDropped) {
  auto options = testOptions();
  options.loginTimeout = std::chrono::milliseconds(300);
  RunningServer server(options);
  ScriptedClient client(server.port());
  const auto rest = client.drain();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(std::any_cast<TSPackets::Disconnect>(rest[0].packet).reason,
            "Took too long to log in");
  EXPECT_TRUE(server.waitForLog("connection 1 dropped: did not log in in time"));
}
