#include <gtest/gtest.h>

#include <sstream>

#include "ColumnWatcher.h"
#include "RunningServer.h"
#include "TSDataTypes.h"

namespace {

template <typename Packet> std::string wire(const Packet& packet) {
  std::ostringstream out;
  packet.write(out);
  return out.str();
}

std::string handShake(const std::string& name) {
  TSPackets::HandShake hello;
  hello.connectionHash = name;
  return wire(hello);
}

struct BadClient {
  const char* what;
  std::string bytes;
  // Hang up after sending, instead of waiting for the server to.
  bool hangUp;
  const char* logged;
};

} // namespace

TEST(Robustness, BadClientsAreDroppedWhileAGoodOneGoesOn) {
  auto options = testOptions();
  options.viewRadius = 1;
  RunningServer server(options);

  ScriptedClient good(server.port());
  good.logIn("good");
  ColumnWatcher watcher(good, options.seed);
  watcher.readLoads(9);

  TSPackets::Login login;
  login.userName = "x";
  TSPackets::PlayerPosAndLook position;
  TSPackets::Login oldClient;
  oldClient.entityId = 14;
  const std::string loginBytes = wire(login);
  const std::vector<BadClient> cases = {
      {"garbage", std::string("\xee\xee\xee\xee", 4), false, "unknown packet id 0xee"},
      {"cut off mid-packet", handShake("someone").substr(0, 7), true,
       "connection lost in the middle of packet 0x02"},
      {"negative string length", std::string("\x02\xff\xfe", 3), false,
       "invalid length in packet 0x02"},
      {"bad bool", handShake("b") + std::string("\x0a\x07", 2), false,
       "bad packet 0x0a: invalid bool received"},
      {"moving before logging in", wire(position), false, "packet 0x0d before logging in"},
      {"login before handshake", loginBytes, false, "login out of turn"},
      {"old protocol", handShake("c") + wire(oldClient), false, "protocol version 14"},
      {"empty name", handShake(""), false, "invalid user name"},
      {"name already playing", handShake("good") + wire([] {
         TSPackets::Login same;
         same.userName = "good";
         return same;
       }()),
       false, "name already playing"},
      {"hang up at once", "", true, "dropped: disconnected"},
  };
  for (const BadClient& bad : cases) {
    ScriptedClient client(server.port());
    if (!bad.bytes.empty())
      client.sendRaw(bad.bytes);
    if (bad.hangUp)
      client.close();
    else
      client.drain();
    EXPECT_TRUE(server.waitForLog(bad.logged)) << bad.what;
  }

  // The good client is still served: its chat comes back to it.
  TSPackets::ChatMessage chat;
  chat.message = "still here";
  good.send(chat);
  EXPECT_EQ(good.until<TSPackets::ChatMessage>().message, "<good> still here");
  EXPECT_TRUE(server.waitForLog("chat <good> still here"));
}

TEST(Robustness, ABogusPositionIsRefused) {
  RunningServer server;
  ScriptedClient client(server.port());
  client.logIn("wild");
  client.expect<TSPackets::Login>();
  TSPackets::PlayerPosAndLook position;
  position.x = std::numeric_limits<double>::quiet_NaN();
  client.send(position);
  const auto rest = client.drain();
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(std::any_cast<TSPackets::Disconnect>(rest.back().packet).reason, "Illegal position");
  EXPECT_TRUE(server.waitForLog("connection 1 (wild) dropped: invalid position"));
}
