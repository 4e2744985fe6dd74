// The session's own packets, without a window: keep-alives, the server's
// time, where the server places the player, the reports, the kick and the
// goodbye.

#include <algorithm>
#include <limits>
#include <sstream>

#include "SessionFixture.h"

namespace {

using Lines = std::vector<std::string>;

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

using Place = std::vector<double>;

TEST_F(SessionTest, KeepAliveIsAnsweredOnlyAfterTheSpawnPosition) {
  connectAndLogIn();
  TSPackets::Ping early;
  early.keepAliveId = 7;
  serverSend(early);
  serverSend(spawnPoint(10, 64, -3));
  TSPackets::Ping late;
  late.keepAliveId = 8;
  serverSend(late);
  EXPECT_EQ(serverReceive<TSPackets::Ping>().keepAliveId, 8);
  EXPECT_TRUE(contains(m_capture.out(), "received spawn position: 10, 64, -3"));
  EXPECT_EQ(m_session->position().x, 10);
  EXPECT_EQ(m_session->position().y, 65);
  EXPECT_EQ(m_session->position().z, -3);
}

TEST_F(SessionTest, ServerTimeIsFollowedUnlessOneTickApart) {
  connectAndLogIn();
  const std::vector<std::pair<std::int64_t, std::int64_t>> steps = {
      {1000, 1000}, {1001, 1000}, {999, 1000}, {1002, 1002}, {1000, 1000}, {-5, -5}};
  for (const auto& step : steps) {
    TSPackets::TimeUpdate time;
    time.time = step.first;
    serverSend(time);
    sync();
    EXPECT_EQ(m_session->serverTime(), step.second) << "after " << step.first;
  }
}

// The tick count follows the server's time; a client behind it catches up a
// tick at a time, and says so once for the ticks of a second.
TEST_F(SessionTest, TicksArePacedAgainstTheServersTime) {
  connectAndLogIn();
  TSPackets::TimeUpdate time;
  time.time = 6000;
  serverSend(time);
  sync();
  const ClientSession::Clock::time_point start;
  m_session->paceTime(start);
  EXPECT_EQ(m_session->localTick(), 6001);
  EXPECT_EQ(m_session->serverTime(), 6001);
  time.time = 6004;
  serverSend(time);
  sync();
  std::vector<std::int64_t> behind;
  for (int tick = 1; tick <= 3; ++tick) {
    m_session->paceTime(start + std::chrono::milliseconds(50 * tick));
    behind.push_back(m_session->serverTime() - m_session->localTick());
  }
  EXPECT_EQ(behind, (std::vector<std::int64_t>{2, 1, 1}));
  const Lines lines = m_capture.out();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "can't catch up to server time, probably connecting or huge lag"),
            1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "you are too slow, render less"), 1);
}

// The correction moves the player, turns them to its look, and is echoed
// with the server's position and look.
TEST_F(SessionTest, PositionCorrectionIsObeyedAndEchoed) {
  connectAndLogIn();
  TSPackets::PlayerPosAndLook packet = correction(5.5, 70, -7.25);
  packet.yaw = 33;
  packet.pitch = 12;
  packet.onGround = true;
  serverSend(packet);
  const TSPackets::PlayerPosAndLook echo = receivePosition();
  EXPECT_EQ(echo.x, 5.5);
  EXPECT_EQ(echo.y, 70);
  EXPECT_EQ(echo.stance, 71.62);
  EXPECT_EQ(echo.z, -7.25);
  EXPECT_TRUE(echo.onGround);
  EXPECT_EQ(echo.yaw, 33);
  EXPECT_EQ(echo.pitch, 12);
  EXPECT_EQ(m_placed, (std::vector<Place>{{5.5, 70, -7.25}}));
  EXPECT_EQ(m_turns, (std::vector<std::pair<float, float>>{{33, 12}}));
  EXPECT_TRUE(m_session->spawned());
  const Lines lines = m_capture.out();
  const auto first = std::find(lines.begin(), lines.end(), "received pos and look packet:");
  ASSERT_NE(first, lines.end());
  ASSERT_GE(lines.end() - first, 5);
  EXPECT_EQ(first[1], "x,y,z,stance = 5.5,70,-7.25,71.62");
  EXPECT_EQ(first[2], "yaw, pitch, on_ground = 33,12,1");
  EXPECT_EQ(first[3], "answering with same packet");
  EXPECT_EQ(first[4], "sending first playerpos&look");
}

// A correction whose look is not a number places the player but does not
// turn them: the echo carries the last look reported, and so do the
// reports with the feet's ground.
TEST_F(SessionTest, ALookThatIsNotANumberIsNotObeyed) {
  connectAndLogIn();
  serverSend(correction(5.5, 70, -7.25));
  receivePosition();
  m_session->report({5.5, 70, -7.25, {90, 30}, true});
  nudge();
  EXPECT_TRUE(receivePosition().onGround);
  TSPackets::PlayerPosAndLook packet = correction(6.5, 70, -7.25);
  packet.yaw = std::numeric_limits<float>::quiet_NaN();
  packet.pitch = std::numeric_limits<float>::infinity();
  serverSend(packet);
  const TSPackets::PlayerPosAndLook echo = receivePosition();
  EXPECT_EQ(echo.x, 6.5);
  EXPECT_EQ(echo.yaw, 90);
  EXPECT_EQ(echo.pitch, 30);
  EXPECT_EQ(m_turns.size(), 1u) << "only the first correction turned the player";
}

// Login says the game mode, and StateChange's reason 3 changes it; its
// other reasons do not.
TEST_F(SessionTest, LoginAndStateChangeSayWhetherThePlayerIsCreative) {
  m_serverMode = 1;
  connectAndLogIn();
  EXPECT_TRUE(m_session->creative());
  EXPECT_EQ(m_session->playerEntityId(), 4711);
  struct Case {
    signed char reason, gameMode;
    bool creative;
  };
  for (const Case& c : {Case{3, 0, false}, Case{1, 1, false}, Case{3, 1, true}, Case{2, 0, true}}) {
    TSPackets::StateChange change;
    change.reason = c.reason;
    change.gameMode = c.gameMode;
    serverSend(change);
    sync();
    EXPECT_EQ(m_session->creative(), c.creative) << int(c.reason) << ", " << int(c.gameMode);
  }
}

// The first spawn point places the player; later ones only change where
// "return to position" goes.
TEST_F(SessionTest, OnlyTheFirstSpawnPointPlacesThePlayer) {
  connectAndLogIn();
  serverSend(spawnPoint(10, 64, -3));
  serverSend(spawnPoint(20, 70, 5));
  sync();
  EXPECT_EQ(m_placed, (std::vector<Place>{{10, 65, -3}}));
  EXPECT_EQ(m_session->position().x, 20);
  EXPECT_EQ(m_session->position().y, 71);
}

TEST_F(SessionTest, TicksReportThePositionOnlyAfterTheSpawn) {
  connectAndLogIn();
  for (int i = 0; i < 3; ++i)
    report(1, 2, 3);
  nudge();
  EXPECT_TRUE(clientIsQuiet());

  serverSend(spawnPoint(0, 40, 0));
  sync();
  for (int i = 0; i < 3; ++i)
    m_session->report({0.5 + i, 41, -2, {90, 30}});
  nudge();
  for (int i = 0; i < 3; ++i) {
    const TSPackets::PlayerPosAndLook report = receivePosition();
    EXPECT_EQ(report.x, 0.5 + i);
    EXPECT_EQ(report.y, 41);
    EXPECT_EQ(report.stance, 41 + 1.62);
    EXPECT_EQ(report.z, -2);
    EXPECT_EQ(report.yaw, 90);
    EXPECT_EQ(report.pitch, 30);
  }
  EXPECT_TRUE(clientIsQuiet());
}

// A server that sends its position but no spawn point: keep-alives are
// answered and reports flow from the first correction on.
TEST_F(SessionTest, PositionWithoutSpawnPointStartsReports) {
  connectAndLogIn();
  serverSend(correction(5.5, 70, -7.25));
  receivePosition();
  TSPackets::Ping ping;
  ping.keepAliveId = 12;
  serverSend(ping);
  EXPECT_EQ(serverReceive<TSPackets::Ping>().keepAliveId, 12);
  report(5.5, 70, -7.25);
  nudge();
  EXPECT_EQ(receivePosition().z, -7.25);
}

// The position packet some servers send after the login moves the player
// like a correction, without a look and without an echo.
TEST_F(SessionTest, PlayerPositionFromTheServerPlacesThePlayer) {
  connectAndLogIn();
  TSPackets::PlayerPosition position;
  position.x = 20;
  position.y = 80;
  position.stance = 81.62;
  position.z = 30.5;
  std::ostringstream bytes;
  position.write(bytes);
  serverSendBytes(bytes.str());
  sync();
  EXPECT_TRUE(
      contains(m_capture.out(), "received position packet: x,y,z,stance = 20,80,30.5,81.62"));
  EXPECT_EQ(m_placed, (std::vector<Place>{{20, 80, 30.5}}));
  EXPECT_TRUE(clientIsQuiet());
  report(20, 80, 30.5);
  nudge();
  EXPECT_EQ(receivePosition().x, 20);
}

// A kick ends the session at once, with the server's reason, and closes the
// connection: nothing the server sent after it is handled or answered, even
// when it came in the same segment.
TEST_F(SessionTest, KickEndsTheSessionWithTheReason) {
  const std::string kick = ServerPackets::bytes([] {
    TSPackets::Disconnect packet;
    packet.reason = "Server is full";
    return packet;
  }());
  TSPackets::Ping keepAlive;
  keepAlive.keepAliveId = 3;
  TSPackets::ChatMessage chat;
  chat.message = "still here";
  TSPackets::Login welcome;
  welcome.entityId = 4711;
  const std::string afterKick = ServerPackets::bytes(welcome) + ServerPackets::bytes(chat) +
                                ServerPackets::bytes(correction(1, 70, 2)) +
                                ServerPackets::bytes(keepAlive);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"alone", kick},
      {"followed by a login, chat, a position and a keep-alive", kick + afterKick},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    m_ends.clear();
    connectAndLogIn();
    serverSend(spawnPoint(0, 40, 0));
    sync();
    m_placed.clear();
    const int logins = m_logins;
    const int chats = m_chats;
    const std::size_t errBefore = m_capture.err().size();
    serverSendBytes(test.bytes);
    pumpUntil([&] { return !m_ends.empty(); });
    EXPECT_EQ(receiveUntilEnd(), "") << "answered after the kick";
    // The read after the kick finds the connection closed.
    pumpUntil([&] { return m_capture.err().size() >= errBefore + 2; });
    const Lines err = m_capture.err();
    EXPECT_EQ(Lines(err.begin() + static_cast<std::ptrdiff_t>(errBefore), err.end()),
              (Lines{"the server closed the connection: Server is full", "connection lost"}));
    EXPECT_FALSE(m_session->isConnected());
    ASSERT_EQ(m_ends.size(), 1u);
    EXPECT_EQ(m_ends[0].kind, SessionEnd::Kind::Kicked);
    EXPECT_EQ(m_ends[0].text, "Server is full");
    EXPECT_EQ(m_logins, logins);
    EXPECT_EQ(m_chats, chats);
    EXPECT_TRUE(m_placed.empty());
  }
}

TEST_F(SessionTest, DisconnectSaysGoodbyeFirst) {
  connectAndLogIn();
  m_session->disconnect();
  EXPECT_EQ(serverReceive<TSPackets::Disconnect>().reason, "disconnect ferrowick");
  EXPECT_EQ(receiveUntilEnd(), "");
  EXPECT_FALSE(m_session->isConnected());
  ASSERT_EQ(m_ends.size(), 1u);
  EXPECT_EQ(m_ends[0].kind, SessionEnd::Kind::Closed);
}

// Connecting again while connected says goodbye to the old server, and
// nothing reaches the new one ahead of its handshake and Login.
TEST_F(SessionTest, ConnectingAgainSaysGoodbyeAndReportsNothingBeforeTheLogin) {
  connectAndLogIn();
  serverSend(correction(5.5, 70, -7.25));
  receivePosition();
  m_session->connect("127.0.0.1", port(), "Tester", "");
  EXPECT_EQ(serverReceive<TSPackets::Disconnect>().reason, "disconnect ferrowick");
  EXPECT_EQ(receiveUntilEnd(), "");
  ASSERT_EQ(m_ends.size(), 1u);
  EXPECT_EQ(m_ends[0].kind, SessionEnd::Kind::Closed);
  EXPECT_FALSE(m_session->spawned());
  for (int i = 0; i < 3; ++i)
    report(5.5, 70, -7.25);
  acceptConnection();
  playLogIn();
  pumpUntil([&] { return m_logins == 2; });
  EXPECT_TRUE(clientIsQuiet());
}

} // namespace
