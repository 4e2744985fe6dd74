#include "server/GameServer.h"

#include <cmath>
#include <optional>

#include "ProtocolConstants.h"
#include "server/ItemPackets.h"
#include "server/ServerPackets.h"

// Digging and building: the players change the world, and every player who
// has the column sees the change.

namespace Server {

namespace {

// How far from the eye a player may dig or build, to the block's middle.
constexpr double Reach = 6;
constexpr int WorldHeight = 128;
constexpr std::uint8_t Bedrock = 7;
constexpr int Finished = 2;

struct Block {
  std::int32_t x, y, z;
};

bool inReach(const Session::PlayerState& player, const Block& block) {
  const double dx = block.x + 0.5 - player.x;
  const double dy = block.y + 0.5 - player.stance;
  const double dz = block.z + 0.5 - player.z;
  return dx * dx + dy * dy + dz * dz <= Reach * Reach;
}

bool inWorld(const Block& block) { return block.y >= 0 && block.y < WorldHeight; }

// The block beyond face `face` of the block: where a block placed against
// that face goes.
std::optional<Block> besideFace(Block block, int face) {
  switch (face) {
  case 0: --block.y; break;
  case 1: ++block.y; break;
  case 2: --block.z; break;
  case 3: ++block.z; break;
  case 4: --block.x; break;
  case 5: ++block.x; break;
  default: return std::nullopt;
  }
  return block;
}

// Whether a player's box (0.6 wide, 1.8 tall, feet at y) overlaps the block.
bool occupies(const Session::PlayerState& player, const Block& block) {
  const double half = 0.3;
  return player.x + half > block.x && player.x - half < block.x + 1 &&
         player.z + half > block.z && player.z - half < block.z + 1 &&
         player.y + 1.8 > block.y && player.y < block.y + 1;
}

} // namespace

void GameServer::dig(Session& session, const TSPackets::PlayerDig& packet) {
  if (packet.status != Finished)
    return;
  if (session.state.health <= 0) {
    m_log.line(label(session), " is dead: dig ignored");
    return;
  }
  const Block block{packet.x, packet.y, packet.z};
  if (!inWorld(block))
    return;
  const std::uint8_t type = m_columns.blockAt(block.x, block.y, block.z);
  if (!inReach(session.state, block) || type == Bedrock) {
    m_log.line(label(session), " may not dig ", block.x, ", ", block.y, ", ", block.z);
    showBlock(session, block.x, block.y, block.z);
    return;
  }
  if (type == 0)
    return;
  m_log.line(label(session), " dug ", block.x, ", ", block.y, ", ", block.z);
  changeBlock(block.x, block.y, block.z, 0);
  pickUp(session, type);
}

// A block from the held stack placed against a face of a block in reach,
// where nobody stands. A place of anything else (an empty hand, an item that
// is no block, a stack the player does not hold) is refused: the client is
// shown the block and the held slot as they are.
void GameServer::place(Session& session, const TSPackets::PlayerBlockPlace& packet) {
  const std::optional<Block> target =
      besideFace({packet.x, packet.y, packet.z}, packet.direction);
  if (!target || !inWorld(*target))
    return;
  if (session.state.health <= 0) {
    m_log.line(label(session), " is dead: place ignored");
    return;
  }
  auto& items = session.state.items;
  const std::string unusable = unplaceable(session, packet);
  if (!unusable.empty()) {
    m_log.line(label(session), " may not build at ", target->x, ", ", target->y, ", ", target->z,
               ": ", unusable);
    showBlock(session, target->x, target->y, target->z);
    send(session, slotPacket(items.heldSlot(), items.heldStack()));
    return;
  }
  bool taken = m_columns.blockAt(target->x, target->y, target->z) != 0;
  for (const auto& entry : m_sessions)
    taken = taken || (entry.second->state.phase == Session::Phase::Playing &&
                      occupies(entry.second->state, *target));
  if (!inReach(session.state, *target) || taken) {
    m_log.line(label(session), " may not build at ", target->x, ", ", target->y, ", ",
               target->z);
    showBlock(session, target->x, target->y, target->z);
    return;
  }
  m_log.line(label(session), " built ", int(packet.itemId), " at ", target->x, ", ", target->y,
             ", ", target->z);
  changeBlock(target->x, target->y, target->z, std::uint8_t(packet.itemId));
  items.useHeld();
  send(session, slotPacket(items.heldSlot(), items.heldStack()));
}

void GameServer::changeBlock(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t type) {
  m_columns.setBlock(x, y, z, type);
  for (const auto& entry : m_sessions) {
    Session& other = *entry.second;
    if (other.state.phase == Session::Phase::Playing && other.streamer().loaded(x >> 4, z >> 4))
      showBlock(other, x, y, z);
  }
}

// What the block is, for a player whose picture of it may be wrong.
void GameServer::showBlock(Session& session, std::int32_t x, std::int32_t y, std::int32_t z) {
  TSPackets::BlockChange change;
  change.x = x;
  change.y = static_cast<signed char>(y);
  change.z = z;
  change.blockType = static_cast<signed char>(m_columns.blockAt(x, y, z));
  change.metadata = 0;
  send(session, ServerPackets::bytes(change));
}

} // namespace Server
