#include "server/MobHerd.h"

#include <cstdlib>

#include "TSPackets.h"
#include "server/ServerPackets.h"

namespace Server {

namespace {

constexpr int ColumnHeight = 128;
constexpr int FixedPerBlock = 32;
// How far from home a mob may wander, in blocks.
constexpr int RoamRadius = 24;
// Steps a destroyed mob stays away.
constexpr int RespawnDelay = 8;
// The longest walk of one step, in 1/32 block.
constexpr int MaxStride = 24;

int floorDiv(int value, int divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

} // namespace

int surfaceY(const Terrain::TerrainGenerator& terrain, std::int32_t x, std::int32_t z) {
  for (int y = ColumnHeight - 1; y >= 0; --y)
    if (terrain.block(x, y, z) != Terrain::Air)
      return y + 1;
  return 0;
}

MobHerd::MobHerd(const Terrain::TerrainGenerator& terrain, std::int64_t seed, int count,
                 int homeX, int homeZ, int firstEntityId)
    : m_terrain(terrain), m_random(static_cast<std::uint64_t>(seed) ^ 0x6d6f6273ull),
      m_homeX(homeX), m_homeZ(homeZ), m_nextEntityId(firstEntityId) {
  const int types = static_cast<int>(sizeof(MobTypes) / sizeof(MobTypes[0]));
  for (int i = 0; i < count; ++i) {
    Mob mob;
    mob.entityId = m_nextEntityId++;
    mob.type = MobTypes[i % types];
    mob.position = randomSpot();
    mob.yaw = static_cast<signed char>(randomInt(-128, 127));
    m_mobs.push_back(mob);
  }
}

int MobHerd::randomInt(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(m_random);
}

FixedPosition MobHerd::onSurface(int fixedX, int fixedZ) const {
  const int y = surfaceY(m_terrain, floorDiv(fixedX, FixedPerBlock), floorDiv(fixedZ, FixedPerBlock));
  return {fixedX, y * FixedPerBlock, fixedZ};
}

FixedPosition MobHerd::randomSpot() {
  const int x = (m_homeX + randomInt(-RoamRadius, RoamRadius)) * FixedPerBlock + FixedPerBlock / 2;
  const int z = (m_homeZ + randomInt(-RoamRadius, RoamRadius)) * FixedPerBlock + FixedPerBlock / 2;
  return onSurface(x, z);
}

std::string MobHerd::spawnPacket(const Mob& mob) const {
  TSPackets::MobSpawn spawn;
  spawn.entityId = mob.entityId;
  spawn.mobType = mob.type;
  spawn.x = mob.position.x;
  spawn.y = mob.position.y;
  spawn.z = mob.position.z;
  spawn.yaw = mob.yaw;
  spawn.pitch = mob.pitch;
  // One byte entry (index 0, the entity's flags, all clear), then the end.
  spawn.metadata = {0x00, 0x00, 0x7F};
  return ServerPackets::bytes(spawn);
}

std::vector<std::string> MobHerd::spawnPackets() const {
  std::vector<std::string> packets;
  for (const Mob& mob : m_mobs)
    if (mob.alive)
      packets.push_back(spawnPacket(mob));
  return packets;
}

void MobHerd::walk(Mob& mob, bool turn, std::vector<std::string>& packets) {
  int dx = randomInt(-MaxStride, MaxStride);
  int dz = randomInt(-MaxStride, MaxStride);
  // Head back home from the edge of the roaming square.
  const int homeX = m_homeX * FixedPerBlock;
  const int homeZ = m_homeZ * FixedPerBlock;
  if (std::abs(mob.position.x + dx - homeX) > RoamRadius * FixedPerBlock)
    dx = mob.position.x > homeX ? -std::abs(dx) : std::abs(dx);
  if (std::abs(mob.position.z + dz - homeZ) > RoamRadius * FixedPerBlock)
    dz = mob.position.z > homeZ ? -std::abs(dz) : std::abs(dz);
  const FixedPosition target = onSurface(mob.position.x + dx, mob.position.z + dz);

  TSPackets::EntityVelocity velocity;
  velocity.entityId = mob.entityId;
  // Velocity in 1/8000 block per tick; a step lasts five ticks.
  velocity.velocityX = static_cast<short>(dx * 8000 / (FixedPerBlock * 5));
  velocity.velocityY = 0;
  velocity.velocityZ = static_cast<short>(dz * 8000 / (FixedPerBlock * 5));
  packets.push_back(ServerPackets::bytes(velocity));

  if (turn) {
    mob.yaw = static_cast<signed char>(randomInt(-128, 127));
    packets.push_back(movePacket(mob.entityId, mob.position, target, mob.yaw, mob.pitch));
  } else if (std::abs(target.y - mob.position.y) <= 127) {
    TSPackets::EntityRelativeMove move;
    move.entityId = mob.entityId;
    move.dx = static_cast<signed char>(target.x - mob.position.x);
    move.dy = static_cast<signed char>(target.y - mob.position.y);
    move.dz = static_cast<signed char>(target.z - mob.position.z);
    packets.push_back(ServerPackets::bytes(move));
  } else {
    packets.push_back(movePacket(mob.entityId, mob.position, target, mob.yaw, mob.pitch));
  }
  mob.position = target;
}

void MobHerd::stepMob(Mob& mob, std::vector<std::string>& packets) {
  if (!mob.alive) {
    if (--mob.respawnIn > 0)
      return;
    mob.alive = true;
    mob.entityId = m_nextEntityId++;
    mob.position = randomSpot();
    packets.push_back(spawnPacket(mob));
    return;
  }
  const int roll = randomInt(0, 99);
  if (roll < 40) {
    walk(mob, false, packets);
  } else if (roll < 60) {
    walk(mob, true, packets);
  } else if (roll < 80) {
    mob.yaw = static_cast<signed char>(randomInt(-128, 127));
    mob.pitch = static_cast<signed char>(randomInt(-32, 32));
    TSPackets::EntityLook look;
    look.entityId = mob.entityId;
    look.yaw = mob.yaw;
    look.pitch = mob.pitch;
    packets.push_back(ServerPackets::bytes(look));
  } else if (roll < 83) {
    const FixedPosition target = randomSpot();
    TSPackets::EntityTeleport teleport;
    teleport.entityId = mob.entityId;
    teleport.x = target.x;
    teleport.y = target.y;
    teleport.z = target.z;
    teleport.yaw = mob.yaw;
    teleport.pitch = mob.pitch;
    packets.push_back(ServerPackets::bytes(teleport));
    mob.position = target;
  } else if (roll < 85) {
    TSPackets::DestroyEntity destroy;
    destroy.entityId = mob.entityId;
    packets.push_back(ServerPackets::bytes(destroy));
    mob.alive = false;
    mob.respawnIn = RespawnDelay;
  }
}

std::vector<std::string> MobHerd::step() {
  std::vector<std::string> packets;
  for (Mob& mob : m_mobs)
    stepMob(mob, packets);
  return packets;
}

} // namespace Server
