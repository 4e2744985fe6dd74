// The game page's entity handlers: spawns, moves, looks, equipment and
// destroys, and the server's list of players.

#include <cstddef>
#include <cstdint>

#include "Entities/Mobs/Creeper.h"
#include "Entities/Mobs/Skeleton.h"
#include "Entities/Mobs/Unknown.h"
#include "Entities/Named.h"
#include "GamePages/Tessellar.h"
#include "session/PacketLog.h"

namespace GamePages {

namespace {

std::unique_ptr<Entities::Movable> makeMob(signed char mobType) {
  switch (mobType) {
  case 50:
    return std::make_unique<Entities::Mobs::Creeper>();
  case 51:
    return std::make_unique<Entities::Mobs::Skeleton>();
  default:
    return std::make_unique<Entities::Mobs::Unknown>(mobType);
  }
}

void turn(Entities::Movable& entity, signed char yaw, signed char pitch) {
  entity.m_yaw = yaw;
  entity.m_pitch = pitch;
}

void place(Entities::Movable& entity, int x, int y, int z, signed char yaw, signed char pitch) {
  entity.m_position = Vox::Vector3DInt32(x, y, z);
  turn(entity, yaw, pitch);
}

// Wraps like the entity's own motion, whatever positions the server sends.
std::int32_t wrappingAdd(std::int32_t position, signed char delta) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(position) +
                                   static_cast<std::uint32_t>(std::int32_t{delta}));
}

void moveBy(Entities::Movable& entity, signed char dx, signed char dy, signed char dz) {
  Vox::Vector3DInt32& p = entity.m_position;
  p = Vox::Vector3DInt32(wrappingAdd(p.x, dx), wrappingAdd(p.y, dy), wrappingAdd(p.z, dz));
}

} // namespace

void Tessellar::registerEntityHandlers() {
  handleHere<TSPackets::MobSpawn>();
  handleHere<TSPackets::NamedEntitySpawn>();
  handleHere<TSPackets::DestroyEntity>();
  handleHere<TSPackets::EntityRelativeMove>();
  handleHere<TSPackets::EntityLookAndMove>();
  handleHere<TSPackets::EntityLook>();
  handleHere<TSPackets::EntityTeleport>();
  handleHere<TSPackets::EntityVelocity>();
  handleHere<TSPackets::PickupSpawn>();
  handleHere<TSPackets::PlayerListItem>();
  handleHere<TSPackets::EntityEquipment>();
}

// Spawns and teleports outside the world's heights, and spawns beyond the
// container's limit, are ignored with a line.
void Tessellar::handle(const TSPackets::MobSpawn& packet) {
  if (!m_entityManager->acceptsPlace(packet.entityId, {packet.x, packet.y, packet.z}))
    return;
  if (Entities::Movable* mob = m_entityManager->spawn(packet.entityId, makeMob(packet.mobType)))
    place(*mob, packet.x, packet.y, packet.z, packet.yaw, packet.pitch);
}

void Tessellar::handle(const TSPackets::NamedEntitySpawn& packet) {
  if (!m_entityManager->acceptsPlace(packet.entityId, {packet.x, packet.y, packet.z}))
    return;
  Entities::Movable* tracked =
      m_entityManager->spawn(packet.entityId, std::make_unique<Entities::Named>(packet.name));
  if (!tracked)
    return;
  place(*tracked, packet.x, packet.y, packet.z, packet.yaw, packet.pitch);
  if (auto* player = dynamic_cast<Entities::Named*>(tracked)) {
    player->m_equipmentItems[0] = packet.currentItem;
    player->m_equipmentDamages[0] = 0;
    m_entityManager->showHeldItem(packet.entityId);
  }
}

// Players keep what they wear and hold; the hand shows its item. A slot
// beyond the five a player has, or an entity that is no player, changes
// nothing.
void Tessellar::handle(const TSPackets::EntityEquipment& packet) {
  logPacket(packet);
  auto* player = dynamic_cast<Entities::Named*>(tracked(packet.entityId));
  if (!player || packet.slot < 0 ||
      static_cast<std::size_t>(packet.slot) >= player->m_equipmentItems.size())
    return;
  player->m_equipmentItems[packet.slot] = packet.itemId;
  player->m_equipmentDamages[packet.slot] = packet.damage;
  if (packet.slot == 0)
    m_entityManager->showHeldItem(packet.entityId);
}

// Packets about an entity that is not tracked (it was never spawned, or is
// gone already) change nothing.
void Tessellar::handle(const TSPackets::DestroyEntity& packet) {
  if (m_entityManager->contains(packet.entityId))
    m_entityManager->destroy(packet.entityId);
}

void Tessellar::handle(const TSPackets::EntityRelativeMove& packet) {
  if (Entities::Movable* entity = tracked(packet.entityId))
    moveBy(*entity, packet.dx, packet.dy, packet.dz);
}

void Tessellar::handle(const TSPackets::EntityLookAndMove& packet) {
  if (Entities::Movable* entity = tracked(packet.entityId)) {
    turn(*entity, packet.yaw, packet.pitch);
    moveBy(*entity, packet.dx, packet.dy, packet.dz);
  }
}

void Tessellar::handle(const TSPackets::EntityLook& packet) {
  if (Entities::Movable* entity = tracked(packet.entityId))
    turn(*entity, packet.yaw, packet.pitch);
}

void Tessellar::handle(const TSPackets::EntityTeleport& packet) {
  Entities::Movable* entity = tracked(packet.entityId);
  if (entity && m_entityManager->acceptsPlace(packet.entityId, {packet.x, packet.y, packet.z}))
    place(*entity, packet.x, packet.y, packet.z, packet.yaw, packet.pitch);
}

void Tessellar::handle(const TSPackets::EntityVelocity& packet) {
  if (Entities::Movable* entity = tracked(packet.entityId)) {
    entity->m_velocity = Vox::Vector3DInt32(packet.velocityX, packet.velocityY, packet.velocityZ);
    entity->m_remainder = Vox::Vector3DInt32();
  }
}

Entities::Movable* Tessellar::tracked(int entityId) {
  return m_entityManager->contains(entityId) ? &m_entityManager->get(entityId) : nullptr;
}

// Pickups are not tracked.
void Tessellar::handle(const TSPackets::PickupSpawn&) {}

void Tessellar::handle(const TSPackets::PlayerListItem& packet) { m_playerList.apply(packet); }

} // namespace GamePages
