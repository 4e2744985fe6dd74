#include "PageFixture.h"

#include <algorithm>
#include <thread>

#include "ChildProcess.h"
#include "Game.h"
#include "WorldBounds.h"

void PageTest::SetUp() {
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
                                         port() +
                                         "\n\n" + extra);
}

void PageTest::pump() {
  asio::io_service& io = Game::instance().ioService();
  io.restart();
  if (io.poll() == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void PageTest::pressKey(OIS::KeyCode key) {
  m_page->shell().keyPressed(OIS::KeyEvent(nullptr, key, 0));
}

void PageTest::xdotool(const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"xdotool"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ChildProcess tool(command);
  ASSERT_EQ(exitCode(tool.wait(std::chrono::seconds(10))), 0) << tool.standardError();
}

void PageTest::correct(double x, double y, double z) {
  TSPackets::PlayerPosAndLook packet;
  packet.x = x;
  packet.y = y;
  packet.stance = y + 1.62;
  packet.z = z;
  serverSend(packet);
  receivePosition();
}

void PageTest::connectAndLogIn() {
  pressKey(OIS::KC_8);
  acceptConnection();
  playLogIn();
}

bool PageTest::clientIsQuiet() {
  asio::io_service& io = Game::instance().ioService();
  for (int i = 0; i < 20; ++i) {
    io.restart();
    io.poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return unreadBytes() == 0;
}

void PageTest::nudge() {
  TSPackets::TimeUpdate time;
  time.time = m_page->serverTime();
  serverSend(time);
}

// A column at the edge of the chunks the world takes around the player, away
// from anything the tests use, loaded anew each time: the last one is
// unloaded first, so that the new load shows.
void PageTest::sync() {
  const WorldModel& world = m_page->world()->model();
  if (m_marker && world.isLoaded(*m_marker))
    serverSend(prechunk(m_marker->x, m_marker->z, false));
  const Vox::Vector3DFloat eye = m_page->eye();
  const ChunkPosition marker =
      WorldBounds::columnOf(eye.x, eye.z) + ChunkPosition(WorldModel::LoadRadius, 0, 0);
  std::uint64_t loads = 0;
  for (const auto& chunk : world.chunks())
    loads = std::max(loads, chunk.second.load);
  serverSend(prechunk(marker.x, marker.z, true));
  m_marker = marker;
  pumpUntil([&] {
    const auto chunk = world.chunks().find(marker);
    return chunk != world.chunks().end() && chunk->second.load > loads;
  });
}

TSPackets::Prechunk PageTest::prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load) {
  TSPackets::Prechunk packet;
  packet.chunkX = chunkX;
  packet.chunkZ = chunkZ;
  packet.mode = load ? 1 : 0;
  return packet;
}
