#include "server/GameServer.h"

#include <algorithm>
#include <cmath>

#include "ProtocolConstants.h"
#include "server/ItemPackets.h"
#include "server/ServerPackets.h"

// Health: falls hurt, a player at 0 is dead until it asks for a new life,
// which starts at the spawn point in a world sent afresh, with the items it
// had.

namespace Server {

namespace {

constexpr int WorldHeight = 128;
constexpr std::uint8_t FlowingWater = 8;
constexpr std::uint8_t StillWater = 9;
// How close to the spawn point a respawned player's report has to be to be
// of the new life: the client reports the place it was given, and may have
// moved a little since.
constexpr double NewLifeDistance = 2;

double tenths(double value) { return std::round(value * 10) / 10; }

} // namespace

// Until the client has heard of its new life it reports the old one's
// place; such a report would take the player back there.
bool GameServer::fromOldLife(Session& session, double x, double y, double z) {
  auto& player = session.state;
  if (!player.respawning)
    return false;
  const double dx = x - player.x;
  const double dy = y - player.y;
  const double dz = z - player.z;
  if (dx * dx + dy * dy + dz * dz > NewLifeDistance * NewLifeDistance)
    return true;
  player.respawning = false;
  player.fall.placed(y);
  return false;
}

bool GameServer::inWater(const Session::PlayerState& player) const {
  const double y = std::floor(player.y);
  if (y < 0 || y >= WorldHeight)
    return false;
  const std::uint8_t type = m_columns.blockAt(static_cast<std::int32_t>(std::floor(player.x)),
                                              static_cast<std::int32_t>(y),
                                              static_cast<std::int32_t>(std::floor(player.z)));
  return type == FlowingWater || type == StillWater;
}

void GameServer::footing(Session& session, bool onGround) {
  if (session.closed())
    return;
  auto& player = session.state;
  const auto landing = player.fall.report({player.y, onGround, inWater(player)});
  if (landing && player.health > 0)
    hurt(session, *landing);
}

void GameServer::hurt(Session& session, const FallTracker::Landing& landing) {
  auto& player = session.state;
  player.health = std::max(0, player.health - landing.damage);
  m_log.line(label(session), " fell ", tenths(landing.fallen), " blocks: health ", player.health);
  send(session, healthPacket(player.health));
  if (player.health == 0)
    m_log.line(label(session), " died");
}

// The new life: the Respawn (the client drops its world and everything in
// it), the mobs and the other players again, the columns around the spawn
// point, the place and the full health.
void GameServer::respawn(Session& session) {
  auto& player = session.state;
  if (player.health > 0) {
    m_log.line(label(session), " asked for a respawn while alive");
    return;
  }
  player.health = FullHealth;
  player.respawning = true;
  player.x = m_spawn.x + 0.5;
  player.y = m_spawn.y;
  player.z = m_spawn.z + 0.5;
  player.stance = player.y + TSProtocol::EyeHeight;
  player.chunkX = static_cast<std::int32_t>(std::floor(player.x / 16));
  player.chunkZ = static_cast<std::int32_t>(std::floor(player.z / 16));
  player.fall.placed(player.y);
  m_log.line(label(session), " respawned at ", m_spawn.x, ", ", m_spawn.y, ", ", m_spawn.z);

  if (!session.restartWorld(ServerPackets::bytes(respawnPacket()), player.chunkX, player.chunkZ,
                            placePacket(player) + healthPacket(player.health))) {
    if (session.outboxOverflowed())
      drop(session, "outbox full: the client does not read");
    return;
  }
  for (const std::string& packet : othersFor(session))
    send(session, packet);
  showMove(session);
}

} // namespace Server
