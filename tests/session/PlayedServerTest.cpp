#include "PlayedServerTest.h"

PlayedServerTest::PlayedServerTest() {
  m_acceptor.open(asio::ip::tcp::v4());
  m_acceptor.bind({asio::ip::address_v4::loopback(), 0});
  m_acceptor.listen();
  m_acceptor.non_blocking(true);
}

bool PlayedServerTest::pumpUntil(const std::function<bool()>& condition,
                                 std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "condition not met in time";
      return false;
    }
    pump();
  }
  return true;
}

// The client looks the host up beside its loop, so its connection arrives
// while the loop runs.
void PlayedServerTest::acceptConnection() {
  if (m_socket.is_open())
    m_socket.close();
  pumpUntil([&] {
    asio::error_code error;
    m_acceptor.accept(m_socket, error);
    return !error;
  });
  m_socket.non_blocking(false);
}

void PlayedServerTest::playLogIn() {
  EXPECT_EQ(serverReceive<TSPackets::HandShake>().connectionHash, "Tester");
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  serverSend(answer);
  EXPECT_EQ(serverReceive<TSPackets::Login>().userName, "Tester");
  TSPackets::Login welcome;
  welcome.entityId = 4711;
  welcome.mapSeed = 99;
  welcome.serverMode = m_serverMode;
  serverSend(welcome);
}

void PlayedServerTest::expectPacketId(unsigned char id) {
  ASSERT_EQ(int(receivePacketId()), int(id));
}

unsigned char PlayedServerTest::receivePacketId() {
  unsigned char received = 0;
  EXPECT_TRUE(pumpUntil([this] { return m_socket.available() > 0; }));
  if (m_socket.available() > 0)
    asio::read(m_socket, asio::buffer(&received, 1));
  return received;
}

TSPackets::PlayerPosAndLook PlayedServerTest::receivePosition() {
  expectPacketId(TSPackets::PlayerPosAndLook::Id);
  // Nothing came: reading would wait for ever.
  if (testing::Test::HasFatalFailure())
    return {};
  return ServerPackets::readPlayerPosAndLook(m_socket);
}

std::string PlayedServerTest::receiveUntilEnd() {
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

TSPackets::SpawnPoint PlayedServerTest::spawnPoint(std::int32_t x, std::int32_t y,
                                                   std::int32_t z) {
  TSPackets::SpawnPoint spawn;
  spawn.x = x;
  spawn.y = y;
  spawn.z = z;
  return spawn;
}
