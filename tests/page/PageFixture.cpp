#include "PageFixture.h"

#include <thread>

#include "Game.h"

void PageTest::SetUp() {
  m_acceptor.open(asio::ip::tcp::v4());
  m_acceptor.bind({asio::ip::address_v4::loopback(), 0});
  m_acceptor.listen();

  writeConfiguration(extraConfiguration());
  m_previousDirectory = std::filesystem::current_path();
  std::filesystem::current_path(m_directory.path());
  if (pageInSetUp())
    m_page = std::make_unique<GamePages::Tessellar>();
  m_capture = new OutputCapture();
}

void PageTest::TearDown() {
  delete m_capture;
  m_capture = nullptr;
  m_page.reset();
  std::filesystem::current_path(m_previousDirectory);
}

void PageTest::writeConfiguration(const std::string& extra) {
  m_directory.write("tessellar.cfg", "[Player]\nName=Tester\nPassword=\n\n[Server]\n"
                                     "Hostname=127.0.0.1\nPort=" +
                                         std::to_string(m_acceptor.local_endpoint().port()) +
                                         "\n\n" + extra);
}

bool PageTest::pumpUntil(const std::function<bool()>& condition,
                         std::chrono::milliseconds limit) {
  asio::io_service& io = Game::instance().ioService();
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "condition not met in time";
      return false;
    }
    io.restart();
    if (io.poll() == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void PageTest::pressKey(OIS::KeyCode key) {
  m_page->shell().keyPressed(OIS::KeyEvent(nullptr, key, 0));
}

// The page looks the host up beside the loop, so its connection arrives
// while the loop runs.
void PageTest::acceptConnection() {
  if (m_socket.is_open())
    m_socket.close();
  m_acceptor.non_blocking(true);
  pumpUntil([&] {
    asio::error_code error;
    m_acceptor.accept(m_socket, error);
    return !error;
  });
  m_socket.non_blocking(false);
}

void PageTest::closeConnection() { m_socket.close(); }

void PageTest::connectAndLogIn() {
  pressKey(OIS::KC_8);
  acceptConnection();
  playLogIn();
}

void PageTest::playLogIn() {
  EXPECT_EQ(serverReceive<TSPackets::HandShake>().connectionHash, "Tester");
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  serverSend(answer);
  const TSPackets::Login login = serverReceive<TSPackets::Login>();
  EXPECT_EQ(login.userName, "Tester");
  TSPackets::Login welcome;
  welcome.entityId = 4711;
  welcome.mapSeed = 99;
  serverSend(welcome);
}

void PageTest::expectPacketId(unsigned char id) {
  ASSERT_TRUE(pumpUntil([this] { return m_socket.available() > 0; }));
  unsigned char received = 0;
  asio::read(m_socket, asio::buffer(&received, 1));
  ASSERT_EQ(int(received), int(id));
}

TSPackets::PlayerPosAndLook PageTest::receivePosition() {
  expectPacketId(TSPackets::PlayerPosAndLook::Id);
  return ServerPackets::readPlayerPosAndLook(m_socket);
}

bool PageTest::clientIsQuiet() {
  asio::io_service& io = Game::instance().ioService();
  for (int i = 0; i < 20; ++i) {
    io.restart();
    io.poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return m_socket.available() == 0;
}

void PageTest::nudge() {
  TSPackets::TimeUpdate time;
  time.time = m_page->serverTime();
  serverSend(time);
}

void PageTest::sync() {
  // A column announced far from anything the tests use, a new one each time.
  const ChunkPosition marker{1 << 20, 0, ++m_syncs};
  serverSend(prechunk(marker.x, marker.z, true));
  pumpUntil([&] { return m_page->world()->model().isLoaded(marker); });
}

TSPackets::SpawnPoint PageTest::spawnPoint(std::int32_t x, std::int32_t y, std::int32_t z) {
  TSPackets::SpawnPoint spawn;
  spawn.x = x;
  spawn.y = y;
  spawn.z = z;
  return spawn;
}

TSPackets::Prechunk PageTest::prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load) {
  TSPackets::Prechunk packet;
  packet.chunkX = chunkX;
  packet.chunkZ = chunkZ;
  packet.mode = load ? 1 : 0;
  return packet;
}
