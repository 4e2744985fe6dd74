#include "ScriptedWorld.h"

#include <algorithm>

#include "TSPackets.h"
#include "server/ColumnStore.h"
#include "server/ServerPackets.h"
#include "terrain/TerrainGenerator.h"

namespace {

const int SeaLevel = 63;

} // namespace

ScriptedWorld::ScriptedWorld()
    : m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}), m_socket(m_io) {}

ScriptedWorld::~ScriptedWorld() {
  m_stop = true;
  asio::error_code ignored;
  m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  m_acceptor.close(ignored);
  if (m_writer.joinable())
    m_writer.join();
  if (m_reader.joinable())
    m_reader.join();
}

void ScriptedWorld::start() { m_writer = std::thread([this] { serve(); }); }

template <class Packet> void ScriptedWorld::send(const Packet& packet) {
  const std::string bytes = ServerPackets::bytes(packet);
  asio::write(m_socket, asio::buffer(bytes));
}

void ScriptedWorld::fail(const std::string& why) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_failure.empty())
    m_failure = why;
}

std::string ScriptedWorld::failure() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  // The time updates go on until a write fails: once the client has said
  // goodbye, that is how it leaves, not a fault.
  if (m_failure.empty() && m_disconnectReason.empty())
    return m_serveFailure;
  return m_failure;
}

void ScriptedWorld::serve() {
  try {
    m_acceptor.accept(m_socket);
    logIn();
    m_reader = std::thread([this] { readClient(); });
    sendWorld();
    keepTime();
  } catch (const std::exception& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_stop)
      m_serveFailure = std::string("server: ") + error.what();
  }
}

void ScriptedWorld::logIn() {
  unsigned char id = 0;
  asio::read(m_socket, asio::buffer(&id, 1));
  if (id != TSPackets::HandShake::Id)
    throw std::runtime_error("expected a handshake, got id " + std::to_string(id));
  TSPackets::HandShake hello;
  hello.parse(m_socket);
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  send(answer);
  asio::read(m_socket, asio::buffer(&id, 1));
  if (id != TSPackets::Login::Id)
    throw std::runtime_error("expected a login, got id " + std::to_string(id));
  TSPackets::Login login;
  login.parse(m_socket);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_userName = login.userName;
  }
  TSPackets::Login welcome;
  welcome.entityId = 1;
  welcome.mapSeed = 0;
  send(welcome);
}

void ScriptedWorld::sendWorld() {
  const Terrain::TerrainGenerator terrain(0);
  const int ground = std::max(terrain.height(SpawnX, SpawnZ), SeaLevel);
  TSPackets::SpawnPoint spawn;
  spawn.x = SpawnX;
  spawn.y = ground;
  spawn.z = SpawnZ;
  send(spawn);
  // Above the ground, so that the first frames look down on the hills.
  TSPackets::PlayerPosAndLook place;
  place.x = SpawnX + 0.5;
  place.y = ground + 6;
  place.stance = place.y + 1.62;
  place.z = SpawnZ + 0.5;
  send(place);

  for (int cx = -1; cx <= 1; ++cx) {
    for (int cz = -1; cz <= 1; ++cz) {
      TSPackets::Prechunk announce;
      announce.chunkX = cx;
      announce.chunkZ = cz;
      announce.mode = 1;
      send(announce);
      send(Server::columnPacket(terrain, cx, cz));
    }
  }

  const signed char mobTypes[] = {50, 51, 90};
  for (int i = 0; i < 3; ++i) {
    TSPackets::MobSpawn mob;
    mob.entityId = 100 + i;
    mob.mobType = mobTypes[i];
    mob.x = (SpawnX + 2 * i) * 32;
    mob.y = (ground + 1) * 32;
    mob.z = (SpawnZ - 6) * 32;
    mob.metadata = {0x7F};
    send(mob);
    TSPackets::EntityVelocity walk;
    walk.entityId = mob.entityId;
    walk.velocityX = 400;
    send(walk);
  }
}

void ScriptedWorld::keepTime() {
  std::int64_t time = 6000;
  int keepAlive = 0;
  for (int step = 0; !m_stop; ++step) {
    TSPackets::TimeUpdate update;
    update.time = time;
    send(update);
    time += 5;
    if (step % 4 == 0) {
      TSPackets::Ping ping;
      ping.keepAliveId = ++keepAlive;
      send(ping);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
}

void ScriptedWorld::readClient() {
  try {
    for (;;) {
      unsigned char id = 0;
      asio::read(m_socket, asio::buffer(&id, 1));
      if (id == TSPackets::PlayerPosAndLook::Id) {
        const TSPackets::PlayerPosAndLook p = ServerPackets::readPlayerPosAndLook(m_socket);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back({std::chrono::steady_clock::now(), p.x, p.y, p.z, p.stance});
      } else if (id == TSPackets::Ping::Id) {
        TSPackets::Ping echo;
        echo.parse(m_socket);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_echoes.push_back(echo.keepAliveId);
      } else if (id == TSPackets::Disconnect::Id) {
        TSPackets::Disconnect goodbye;
        goodbye.parse(m_socket);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_disconnectReason = goodbye.reason;
      } else {
        fail("client sent unexpected packet id " + std::to_string(id));
        return;
      }
    }
  } catch (const std::exception&) {
    m_clientClosed = true;
  }
}

std::vector<PositionReport> ScriptedWorld::reports() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_reports;
}

std::vector<int> ScriptedWorld::keepAliveEchoes() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_echoes;
}

std::string ScriptedWorld::disconnectReason() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_disconnectReason;
}

std::string ScriptedWorld::userName() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_userName;
}
