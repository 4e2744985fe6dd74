#include "session/ClientSession.h"

#include <cmath>
#include <iostream>

#include "ProtocolConstants.h"
#include "WorldBounds.h"
#include "session/PacketLog.h"

// Connecting, the goodbye, the end of a session, and what the server says
// about the player: where they are, the time and the keep-alives.

namespace {

// The game mode's number for creative, in Login and StateChange.
const std::int32_t CreativeMode = 1;
// StateChange's reason that carries a game mode.
const std::uint8_t ChangeGameMode = 3;

// How long the goodbye may take to leave.
const std::chrono::milliseconds GoodbyeWriteLimit(2000);

// The server's position, without its look: the player keeps their own.
template <class Position>
void takePosition(const Position& position, TSPackets::PlayerPosAndLook& player) {
  player.x = position.x;
  player.y = position.y;
  player.z = position.z;
  player.stance = position.stance;
  player.onGround = position.onGround;
}

// A place the player can be: within the world, and a stance that is a
// height there too (it goes back to the server in the echo and reports).
template <class Position> bool insideWorld(const Position& position) {
  return WorldBounds::contains(position.x, position.y, position.z) &&
         WorldBounds::heightInside(position.stance);
}

template <class Position>
void refusePosition(const char* packet, const Position& position) {
  std::cout << "ignored " << packet << " outside the world: x,y,z,stance = " << position.x << ","
            << position.y << "," << position.z << "," << position.stance << std::endl;
}

} // namespace

ClientSession::ClientSession(asio::io_service& ioService, std::unique_ptr<HostLookup> lookup)
    : m_ioService(ioService), m_connection(ioService, *this, std::move(lookup)) {
  handleHere<TSPackets::Ping>();
  handleHere<TSPackets::Login>();
  handleHere<TSPackets::HandShake>();
  handleHere<TSPackets::TimeUpdate>();
  handleHere<TSPackets::SpawnPoint>();
  handleHere<TSPackets::PlayerPosAndLook>();
  handleHere<TSPackets::PlayerPosition>();
  handleHere<TSPackets::StateChange>();
  handleHere<TSPackets::Disconnect>();
}

ClientSession::~ClientSession() {
  stopAccountLogin();
  m_accountLogin.reset();
}

template <class Packet> void ClientSession::handleHere() {
  m_dispatch.on<Packet>([this](const Packet& packet) { handle(packet); });
}

void ClientSession::connect(const std::string& host, const std::string& port,
                            const std::string& user, const std::string& password) {
  if (isConnected()) {
    disconnect();
  }
  m_userName = user;
  m_password = password;
  // Until the new server places the player, nothing is reported to it.
  m_spawned = false;
  m_creative = false;
  m_connection.connect(host, port);
}

void ClientSession::disconnect() {
  // Before the server has accepted the connection there is nobody to say
  // goodbye to.
  if (m_connection.isEstablished()) {
    sayGoodbye();
  }
  m_connection.disconnect();
}

void ClientSession::sayGoodbye() {
  TSPackets::Disconnect goodbye;
  goodbye.reason = "disconnect ferrowick";
  send(goodbye);
  if (!m_connection.flushOutput(GoodbyeWriteLimit)) {
    std::cerr << "could not send the disconnect message in time" << std::endl;
  }
}

void ClientSession::connected() {
  std::cout << "sending handshake" << std::endl;
  TSPackets::HandShake handShake;
  handShake.connectionHash = m_userName;
  m_connection.sendFirst(handShake);
}

void ClientSession::receive(ByteReader& reader, const std::function<void()>& whole) {
  m_dispatch.receive(reader, whole);
}

void ClientSession::ended(const SessionEnd& end) {
  stopAccountLogin();
  if (m_events.ended) {
    m_events.ended(end);
  }
}

void ClientSession::paceTime(Clock::time_point now) {
  m_pacingLines.note(::paceTime(m_localTick, m_serverTime), now);
}

void ClientSession::report(const PlayerReport& player) {
  m_position.yaw = player.look.yaw;
  m_position.pitch = player.look.pitch;
  if (!m_spawned || !isConnected()) {
    return;
  }
  m_position.x = player.x;
  m_position.y = player.feetY;
  m_position.stance = m_position.y + TSProtocol::EyeHeight;
  m_position.z = player.z;
  m_position.onGround = player.onGround;
  send(m_position);
}

void ClientSession::place(double x, double feetY, double z) {
  if (m_events.placed) {
    m_events.placed(x, feetY, z);
  }
}

void ClientSession::handle(const TSPackets::Ping& packet) {
  if (m_spawned) {
    send(packet);
  }
}

void ClientSession::handle(const TSPackets::Login& packet) {
  logPacket(packet);
  m_playerEntityId = packet.entityId;
  m_creative = packet.serverMode == CreativeMode;
  if (m_events.loggedIn) {
    m_events.loggedIn();
  }
}

void ClientSession::handle(const TSPackets::TimeUpdate& packet) {
  followServerTime(m_serverTime, packet.time);
}

void ClientSession::handle(const TSPackets::SpawnPoint& packet) {
  if (!WorldBounds::contains(packet.x, double(packet.y) + 1, packet.z)) {
    std::cout << "ignored spawn position outside the world: " << packet.x << ", " << packet.y
              << ", " << packet.z << std::endl;
    return;
  }
  std::cout << "received spawn position: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
  m_position.x = packet.x;
  m_position.y = double(packet.y) + 1;
  m_position.z = packet.z;
  // The first place the server gives is where the player starts: reports
  // never carry a place the server never gave.
  if (!m_spawned) {
    place(m_position.x, m_position.y, m_position.z);
  }
  m_spawned = true;
}

// A place outside the world is not obeyed, and not echoed either: the
// player stays where they are. The player turns to the server's look, and
// the echo carries it; a look that is not a number is not obeyed, and the
// echo carries the player's own.
void ClientSession::handle(const TSPackets::PlayerPosAndLook& packet) {
  if (!insideWorld(packet)) {
    refusePosition("pos and look packet", packet);
    return;
  }
  takePosition(packet, m_position);
  place(packet.x, packet.y, packet.z);
  m_spawned = true;
  if (std::isfinite(packet.yaw) && std::isfinite(packet.pitch)) {
    m_position.yaw = packet.yaw;
    m_position.pitch = packet.pitch;
    if (m_events.turned) {
      m_events.turned({packet.yaw, packet.pitch});
    }
  }
  std::cout << "received pos and look packet:" << std::endl
            << "x,y,z,stance = " << m_position.x << "," << m_position.y << "," << m_position.z
            << "," << m_position.stance << std::endl
            << "yaw, pitch, on_ground = " << m_position.yaw << "," << m_position.pitch << ","
            << m_position.onGround << std::endl
            << "answering with same packet" << std::endl;
  send(m_position);
  std::cout << "sending first playerpos&look" << std::endl;
}

// A position without a look (some servers send it after the login): obeyed
// like a correction, and not echoed.
void ClientSession::handle(const TSPackets::PlayerPosition& packet) {
  if (!insideWorld(packet)) {
    refusePosition("position packet", packet);
    return;
  }
  logPacket(packet);
  takePosition(packet, m_position);
  place(packet.x, packet.y, packet.z);
  m_spawned = true;
}

// Reason 3 changes the game mode; the others (rain, an invalid bed) say
// nothing about the player's hands.
void ClientSession::handle(const TSPackets::StateChange& packet) {
  logPacket(packet);
  if (packet.reason == ChangeGameMode) {
    m_creative = packet.gameMode == CreativeMode;
  }
}

// A kick ends the session, not the program.
void ClientSession::handle(const TSPackets::Disconnect& packet) {
  std::cerr << "the server closed the connection: " << packet.reason << std::endl;
  m_connection.end(SessionEnd::Kind::Kicked, packet.reason);
}
