#include "SessionServer.h"

#include <algorithm>
#include <variant>

#include <poll.h>

#include "TSPackets.h"
#include "server/ClientPacket.h"
#include "server/ColumnStore.h"
#include "terrain/TerrainGenerator.h"

namespace {

const int SeaLevel = 63;
const std::chrono::milliseconds TimeStep(250);
const int PollMilliseconds = 50;

const Terrain::TerrainGenerator& terrain() {
  static const Terrain::TerrainGenerator generator(0);
  return generator;
}

} // namespace

SessionServer::SessionServer(Script script)
    : m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}), m_socket(m_io),
      m_writer([this, script = std::move(script)] { serve(script); }) {}

SessionServer::~SessionServer() {
  m_stop = true;
  asio::error_code ignored;
  m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  m_acceptor.close(ignored);
  m_writer.join();
  if (m_reader.joinable())
    m_reader.join();
}

void SessionServer::fail(const std::string& why) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_failure.empty())
    m_failure = why;
}

std::string SessionServer::failure() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_failure;
}

std::vector<SessionServer::Report> SessionServer::reports() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_reports;
}

std::string SessionServer::disconnectReason() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_disconnectReason;
}

void SessionServer::serve(const Script& script) {
  try {
    acceptClient();
    logIn();
    m_reader = std::thread([this] { readClient(); });
    script(*this);
    keepTime();
  } catch (const std::exception& error) {
    // Once the client has said goodbye, its end may close at any write.
    if (!m_stop && disconnectReason().empty())
      fail(std::string("server: ") + error.what());
  }
}

// Waits for the client, giving up when the test ends first.
void SessionServer::acceptClient() {
  pollfd listening{m_acceptor.native_handle(), POLLIN, 0};
  while (!m_stop) {
    if (::poll(&listening, 1, PollMilliseconds) > 0) {
      m_acceptor.accept(m_socket);
      return;
    }
  }
  throw std::runtime_error("no client came");
}

Server::ClientPacket SessionServer::nextPacket() {
  unsigned char id = 0;
  asio::read(m_socket, asio::buffer(&id, 1));
  return Server::readClientPacket(m_socket, id);
}

void SessionServer::logIn() {
  if (!std::holds_alternative<TSPackets::HandShake>(nextPacket()))
    throw std::runtime_error("the client's first packet is no handshake");
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  send(answer);
  if (!std::holds_alternative<TSPackets::Login>(nextPacket()))
    throw std::runtime_error("the client answered the handshake with no login");
  TSPackets::Login welcome;
  welcome.entityId = 1;
  send(welcome);
}

void SessionServer::sendBytes(const std::string& bytes) {
  asio::write(m_socket, asio::buffer(bytes));
}

void SessionServer::sendColumn(int chunkX, int chunkZ) {
  TSPackets::Prechunk announce;
  announce.chunkX = chunkX;
  announce.chunkZ = chunkZ;
  announce.mode = 1;
  send(announce);
  sendBytes(columnBytes(chunkX, chunkZ));
}

std::string SessionServer::columnBytes(int chunkX, int chunkZ) {
  return ServerPackets::bytes(Server::columnPacket(terrain(), chunkX, chunkZ));
}

int SessionServer::groundHeight(int x, int z) {
  return std::max(terrain().height(x, z), SeaLevel);
}

void SessionServer::placePlayerAboveGround() {
  TSPackets::PlayerPosAndLook place;
  place.x = 8.5;
  place.y = groundHeight(8, 8) + 2;
  place.stance = place.y + 1.62;
  place.z = 8.5;
  send(place);
}

void SessionServer::stall() {
  m_stalled = true;
  while (!m_stop)
    std::this_thread::sleep_for(TimeStep);
}

void SessionServer::keepTime() {
  std::int64_t time = 6000;
  for (int step = 0; !m_stop; ++step) {
    TSPackets::TimeUpdate update;
    update.time = time += 5;
    send(update);
    if (step % 4 == 0) {
      TSPackets::Ping ping;
      ping.keepAliveId = step / 4;
      send(ping);
    }
    std::this_thread::sleep_for(TimeStep);
  }
}

void SessionServer::readClient() {
  try {
    for (;;) {
      const Server::ClientPacket packet = nextPacket();
      std::lock_guard<std::mutex> lock(m_mutex);
      if (const auto* p = std::get_if<TSPackets::PlayerPosAndLook>(&packet))
        m_reports.push_back({Clock::now(), p->x, p->y, p->z, p->stance, p->yaw, p->pitch});
      else if (const auto* goodbye = std::get_if<TSPackets::Disconnect>(&packet))
        m_disconnectReason = goodbye->reason;
    }
  } catch (const Server::UnknownPacket& unknown) {
    fail(std::string("client: ") + unknown.what());
  } catch (const std::exception&) {
    // The client has closed its end.
  }
}
