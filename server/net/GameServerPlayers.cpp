#include "server/GameServer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "ProtocolConstants.h"
#include "server/ItemPackets.h"
#include "server/ServerPackets.h"

// The game's answers to what the clients send.

namespace Server {

namespace {

constexpr std::size_t MaxNameBytes = 32;
constexpr std::size_t MaxChatBytes = 100;
// Farther out than this a position is nonsense.
constexpr double WorldLimit = 3.0e7;
constexpr signed char MaxPlayers = 20;
constexpr signed char WorldHeight = static_cast<signed char>(128);
// The world's fields of Login, which a respawn repeats.
constexpr int ServerMode = 0;
constexpr signed char Dimension = 0;
constexpr signed char Difficulty = 1;

template <typename... Handlers> struct Overloaded : Handlers... {
  using Handlers::operator()...;
};
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

bool validName(const std::string& name) {
  if (name.empty() || name.size() > MaxNameBytes)
    return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F)
      return false;
  return true;
}

bool validPosition(double x, double y, double z, double stance) {
  for (double value : {x, y, z, stance})
    if (!std::isfinite(value) || std::fabs(value) > WorldLimit)
      return false;
  return true;
}

std::int32_t columnOf(double blocks) { return static_cast<std::int32_t>(std::floor(blocks / 16.0)); }

std::string chatPacket(std::string message) {
  if (message.size() > MaxChatBytes)
    message.resize(MaxChatBytes);
  TSPackets::ChatMessage chat;
  chat.message = std::move(message);
  return ServerPackets::bytes(chat);
}

std::string namedSpawnPacket(const Session::PlayerState& player) {
  TSPackets::NamedEntitySpawn spawn;
  spawn.entityId = player.entityId;
  spawn.name = player.name;
  spawn.x = player.shown.x;
  spawn.y = player.shown.y;
  spawn.z = player.shown.z;
  spawn.yaw = player.shownYaw;
  spawn.pitch = player.shownPitch;
  spawn.currentItem = 0;
  return ServerPackets::bytes(spawn);
}

} // namespace

std::string GameServer::listItemPacket(const Session::PlayerState& player, bool online) {
  TSPackets::PlayerListItem item;
  item.playerName = player.name;
  item.online = online;
  item.ping = static_cast<short>(std::min<long long>(player.ping.count(), 32767));
  return ServerPackets::bytes(item);
}

void GameServer::onPacket(Session& session, const ClientPacket& packet) {
  if (session.closed())
    return;
  if (const auto* quit = std::get_if<TSPackets::Disconnect>(&packet)) {
    drop(session, "quit: " + quit->reason);
    return;
  }
  const Session::Phase phase = session.state.phase;
  if (const auto* hello = std::get_if<TSPackets::HandShake>(&packet)) {
    if (phase == Session::Phase::AwaitHandShake)
      handShake(session, *hello);
    else
      drop(session, "second handshake", "Protocol error");
    return;
  }
  if (const auto* request = std::get_if<TSPackets::Login>(&packet)) {
    if (phase == Session::Phase::AwaitLogin)
      login(session, *request);
    else
      drop(session, "login out of turn", "Protocol error");
    return;
  }
  if (phase != Session::Phase::Playing) {
    drop(session, "packet " + packetIdText(std::visit([](const auto& p) {
                                return static_cast<unsigned char>(p.id);
                              }, packet)) + " before logging in",
         "Log in first");
    return;
  }
  std::visit(Overloaded{
                 [&](const TSPackets::Ping& p) { ping(session, p); },
                 [&](const TSPackets::ChatMessage& p) { chat(session, p); },
                 [&](const TSPackets::Player& p) {
                   if (!session.state.respawning)
                     footing(session, p.onGround);
                 },
                 [&](const TSPackets::PlayerPosition& p) {
                   move(session, p.x, p.y, p.z, p.stance, p.onGround);
                 },
                 [&](const TSPackets::PlayerLook& p) { look(session, p.yaw, p.pitch); },
                 [&](const TSPackets::PlayerPosAndLook& p) {
                   // One report, one update for the others.
                   session.state.yaw = p.yaw;
                   session.state.pitch = p.pitch;
                   move(session, p.x, p.y, p.z, p.stance, p.onGround);
                 },
                 [&](const TSPackets::PlayerDig& p) { dig(session, p); },
                 [&](const TSPackets::PlayerBlockPlace& p) { place(session, p); },
                 [&](const TSPackets::PlayerHoldingChange& p) { holdSlot(session, p); },
                 [&](const TSPackets::WindowClick& p) { click(session, p); },
                 [&](const TSPackets::CloseWindow& p) { closeWindow(session, p); },
                 [&](const TSPackets::Respawn&) { respawn(session); },
                 // A client owns to a refused click with a Transaction of its
                 // own, which changes nothing here; actions do not change this
                 // world either.
                 [](const auto&) {},
             },
             packet);
}

void GameServer::handShake(Session& session, const TSPackets::HandShake& packet) {
  if (!validName(packet.connectionHash)) {
    drop(session, "invalid user name", "Invalid user name");
    return;
  }
  session.state.name = packet.connectionHash;
  session.state.phase = Session::Phase::AwaitLogin;
  m_log.line(label(session), " handshake");
  TSPackets::HandShake answer;
  answer.connectionHash = m_connectionHash;
  send(session, ServerPackets::bytes(answer));
}

void GameServer::login(Session& session, const TSPackets::Login& packet) {
  if (packet.entityId != TSProtocol::Version) {
    drop(session, "protocol version " + std::to_string(packet.entityId),
         packet.entityId < TSProtocol::Version ? "Outdated client!" : "Outdated server!");
    return;
  }
  const std::string name = packet.userName.empty() ? session.state.name : packet.userName;
  if (!validName(name)) {
    drop(session, "invalid user name", "Invalid user name");
    return;
  }
  session.state.name = name;
  if (m_options.auth && !m_accounts.takeJoin(name)) {
    drop(session, "no session join for this server", "Failed to verify username!");
    return;
  }
  if (nameInUse(name)) {
    drop(session, "name already playing", "That name is already playing");
    return;
  }
  welcome(session);
}

void GameServer::welcome(Session& session) {
  auto& player = session.state;
  player.phase = Session::Phase::Playing;
  player.entityId = m_nextPlayerEntityId++;
  player.x = m_spawn.x + 0.5;
  player.y = m_spawn.y;
  player.z = m_spawn.z + 0.5;
  player.stance = player.y + TSProtocol::EyeHeight;
  player.shown = toFixed(player.x, player.y, player.z);
  player.chunkX = columnOf(player.x);
  player.chunkZ = columnOf(player.z);
  player.pingSentAt = Clock::now();
  m_somebodyPlayed = true;
  m_log.line(label(session), " logged in as entity ", player.entityId, " at ", m_spawn.x, ", ",
             m_spawn.y, ", ", m_spawn.z);

  TSPackets::Login answer;
  answer.entityId = player.entityId;
  answer.userName = "";
  answer.mapSeed = m_options.seed;
  answer.serverMode = ServerMode;
  answer.dimension = Dimension;
  answer.difficulty = Difficulty;
  answer.worldHeight = WorldHeight;
  answer.maxPlayers = MaxPlayers;
  send(session, ServerPackets::bytes(answer));

  TSPackets::SpawnPoint spawn;
  spawn.x = m_spawn.x;
  spawn.y = m_spawn.y;
  spawn.z = m_spawn.z;
  send(session, ServerPackets::bytes(spawn));

  send(session, timePacket());
  send(session, chatPacket("Welcome to the local world, " + player.name + "!"));

  // The others and the player list (the player included) after the mobs.
  for (const std::string& packet : othersFor(session))
    send(session, packet);
  for (const auto& entry : m_sessions)
    if (entry.second->state.phase == Session::Phase::Playing)
      send(session, listItemPacket(entry.second->state, true));
  broadcast(namedSpawnPacket(player), &session);
  broadcast(listItemPacket(player, true), &session);
  broadcast(chatPacket(player.name + " joined the world"), &session);

  // The position comes once the ground under the player is there.
  session.streamAround(player.chunkX, player.chunkZ);
  session.holdUntilNearLoaded(placePacket(player));
  player.fall.placed(player.y);
  send(session, windowItemsPacket(player.items));
  send(session, healthPacket(player.health));
}

std::vector<std::string> GameServer::othersFor(const Session& session) const {
  std::vector<std::string> others = m_mobs.spawnPackets();
  for (const auto& entry : m_sessions) {
    const Session& other = *entry.second;
    if (other.state.phase == Session::Phase::Playing && &other != &session)
      others.push_back(namedSpawnPacket(other.state));
  }
  return others;
}

std::string GameServer::placePacket(const Session::PlayerState& player) {
  TSPackets::PlayerPosAndLook position;
  position.x = player.x;
  position.y = player.y;
  position.stance = player.stance;
  position.z = player.z;
  position.yaw = 0;
  position.pitch = 0;
  position.onGround = true;
  return ServerPackets::bytes(position);
}

TSPackets::Respawn GameServer::respawnPacket() const {
  TSPackets::Respawn respawn;
  respawn.dimension = Dimension;
  respawn.difficulty = Difficulty;
  respawn.creativeMode = static_cast<signed char>(ServerMode);
  respawn.worldHeight = static_cast<unsigned char>(WorldHeight);
  respawn.mapSeed = m_options.seed;
  return respawn;
}

// An answer in time measures the player's ping, which every player's list
// shows.
void GameServer::ping(Session& session, const TSPackets::Ping& packet) {
  auto& player = session.state;
  if (packet.keepAliveId != player.pendingPing)
    return;
  player.pendingPing = 0;
  player.ping =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - player.pingSentAt);
  broadcast(listItemPacket(player, true));
}

void GameServer::chat(Session& session, const TSPackets::ChatMessage& packet) {
  m_log.line("chat <", session.state.name, "> ", packet.message);
  broadcast(chatPacket("<" + session.state.name + "> " + packet.message));
}

void GameServer::move(Session& session, double x, double y, double z, double stance,
                      bool onGround) {
  if (!validPosition(x, y, z, stance)) {
    drop(session, "invalid position", "Illegal position");
    return;
  }
  if (fromOldLife(session, x, y, z))
    return;
  auto& player = session.state;
  player.x = x;
  player.y = y;
  player.z = z;
  player.stance = stance;
  const std::int32_t chunkX = columnOf(x);
  const std::int32_t chunkZ = columnOf(z);
  if (chunkX != player.chunkX || chunkZ != player.chunkZ) {
    player.chunkX = chunkX;
    player.chunkZ = chunkZ;
    m_log.line(label(session), " entered column ", chunkX, ", ", chunkZ);
    session.streamAround(chunkX, chunkZ);
  }
  showMove(session);
  footing(session, onGround);
}

void GameServer::look(Session& session, float yaw, float pitch) {
  session.state.yaw = yaw;
  session.state.pitch = pitch;
  showMove(session);
}

void GameServer::showMove(Session& session) {
  auto& player = session.state;
  const FixedPosition now = toFixed(player.x, player.y, player.z);
  const signed char yaw = angleByte(player.yaw);
  const signed char pitch = angleByte(player.pitch);
  if (now == player.shown && yaw == player.shownYaw && pitch == player.shownPitch)
    return;
  const std::string packet = movePacket(player.entityId, player.shown, now, yaw, pitch);
  player.shown = now;
  player.shownYaw = yaw;
  player.shownPitch = pitch;
  broadcast(packet, &session);
}

} // namespace Server
