#include "SessionFixture.h"

#include <thread>

SessionTest::SessionTest() : m_session(std::make_unique<ClientSession>(m_io)) {
  m_acceptor.open(asio::ip::tcp::v4());
  m_acceptor.bind({asio::ip::address_v4::loopback(), 0});
  m_acceptor.listen();
  m_acceptor.non_blocking(true);
  ClientSession::Events events;
  events.loggedIn = [this] { ++m_logins; };
  events.placed = [this](double x, double y, double z) { m_placed.push_back({x, y, z}); };
  events.ended = [this](const SessionEnd& end) { m_ends.push_back(end); };
  events.look = [this] { return m_look; };
  m_session->setEvents(events);
  m_session->dispatch().on<TSPackets::ChatMessage>(
      [this](const TSPackets::ChatMessage&) { ++m_chats; });
}

bool SessionTest::pumpUntil(const std::function<bool()>& condition,
                            std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "condition not met in time";
      return false;
    }
    m_io.restart();
    if (m_io.run_for(std::chrono::milliseconds(2)) == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void SessionTest::acceptConnection() {
  if (m_socket.is_open())
    m_socket.close();
  pumpUntil([&] {
    asio::error_code error;
    m_acceptor.accept(m_socket, error);
    return !error;
  });
  m_socket.non_blocking(false);
}

void SessionTest::logIn() {
  EXPECT_EQ(serverReceive<TSPackets::HandShake>().connectionHash, "Tester");
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  serverSend(answer);
  EXPECT_EQ(serverReceive<TSPackets::Login>().userName, "Tester");
  TSPackets::Login welcome;
  welcome.entityId = 4711;
  serverSend(welcome);
}

void SessionTest::connectAndLogIn() {
  const int logins = m_logins;
  m_session->connect("127.0.0.1", port(), "Tester", "");
  acceptConnection();
  logIn();
  pumpUntil([&] { return m_logins == logins + 1; });
}

void SessionTest::expectPacketId(unsigned char id) {
  ASSERT_TRUE(pumpUntil([this] { return m_socket.available() > 0; }));
  unsigned char received = 0;
  asio::read(m_socket, asio::buffer(&received, 1));
  ASSERT_EQ(int(received), int(id));
}

TSPackets::PlayerPosAndLook SessionTest::receivePosition() {
  expectPacketId(TSPackets::PlayerPosAndLook::Id);
  return ServerPackets::readPlayerPosAndLook(m_socket);
}

std::string SessionTest::receiveUntilEnd() {
  std::string received;
  asio::error_code error;
  m_socket.non_blocking(true);
  pumpUntil([&] {
    char scratch[4096];
    const std::size_t size = m_socket.read_some(asio::buffer(scratch), error);
    received.append(scratch, size);
    return error && error != asio::error::would_block;
  });
  m_socket.non_blocking(false);
  EXPECT_EQ(error, asio::error::eof);
  return received;
}

void SessionTest::sync() {
  const int chats = m_chats;
  TSPackets::ChatMessage marker;
  marker.message = "sync";
  serverSend(marker);
  pumpUntil([&] { return m_chats > chats; });
}

bool SessionTest::clientIsQuiet() {
  sync();
  return m_socket.available() == 0;
}

void SessionTest::nudge() {
  TSPackets::TimeUpdate time;
  time.time = m_session->serverTime();
  serverSend(time);
}

void SessionTest::report(double x, double feetY, double z) {
  m_session->report({x, feetY, z, ClientSession::Look()});
}

TSPackets::SpawnPoint SessionTest::spawnPoint(std::int32_t x, std::int32_t y, std::int32_t z) {
  TSPackets::SpawnPoint spawn;
  spawn.x = x;
  spawn.y = y;
  spawn.z = z;
  return spawn;
}

TSPackets::PlayerPosAndLook SessionTest::correction(double x, double y, double z) {
  TSPackets::PlayerPosAndLook packet;
  packet.x = x;
  packet.y = y;
  packet.stance = y + 1.62;
  packet.z = z;
  return packet;
}
