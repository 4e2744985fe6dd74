#include "PageFixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <thread>

#include "Game.h"

namespace {

std::string currentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

} // namespace

void PageTest::SetUp() {
  m_acceptor.open(asio::ip::tcp::v4());
  m_acceptor.bind({asio::ip::address_v4::loopback(), 0});
  m_acceptor.listen();

  char pattern[] = "/tmp/ferrowick-page-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  m_directory = pattern;
  for (const char* name : {"plugins.cfg", "ogre.cfg", "resources.cfg", "media"}) {
    const std::string target = std::string(TS_RUN_DIR) + "/" + name;
    ASSERT_EQ(symlink(target.c_str(), (m_directory + "/" + name).c_str()), 0) << name;
  }
  writeConfiguration(extraConfiguration());
  m_previousDirectory = currentDirectory();
  ASSERT_EQ(chdir(m_directory.c_str()), 0);
  if (pageInSetUp())
    m_page = std::make_unique<GamePages::Tessellar>();
  m_capture = new OutputCapture();
}

void PageTest::TearDown() {
  delete m_capture;
  m_capture = nullptr;
  m_page.reset();
  if (!m_previousDirectory.empty()) {
    EXPECT_EQ(chdir(m_previousDirectory.c_str()), 0);
  }
  if (!m_directory.empty()) {
    for (const char* name :
         {"plugins.cfg", "ogre.cfg", "resources.cfg", "media", "tessellar.cfg", "Ogre.log"})
      unlink((m_directory + "/" + name).c_str());
    rmdir(m_directory.c_str());
  }
}

void PageTest::writeConfiguration(const std::string& extra) {
  std::ofstream config(m_directory + "/tessellar.cfg");
  config << "[Player]\nName=Tester\nPassword=\n\n[Server]\nHostname=127.0.0.1\nPort="
         << m_acceptor.local_endpoint().port() << "\n\n"
         << extra;
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
  m_page->keyPressed(OIS::KeyEvent(nullptr, key, 0));
}

void PageTest::acceptConnection() {
  // The client's connect reached the kernel when the key was pressed, so the
  // blocking accept returns at once.
  if (m_socket.is_open())
    m_socket.close();
  m_acceptor.accept(m_socket);
}

void PageTest::connectAndLogIn() {
  pressKey(OIS::KC_8);
  acceptConnection();
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
