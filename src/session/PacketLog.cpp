#include "session/PacketLog.h"

#include <iostream>

// The packets' log lines, as the client has always printed them.

namespace {

// Byte fields print as numbers, not as characters.
int number(signed char value) { return value; }

const char* inventoryTypeName(signed char type) {
  switch (static_cast<unsigned char>(type)) {
  case 0:
    return "basic";
  case 1:
    return "workbench";
  case 2:
    return "furnace";
  case 3:
    return "dispenser";
  default:
    return "unknown";
  }
}

} // namespace

void logPacket(const TSPackets::Ping&) {}

void logPacket(const TSPackets::HandShake& packet) {
  std::cout << "handshake: \"" << packet.connectionHash << "\"" << std::endl;
  std::cout << "handshakelen: \"" << packet.connectionHash.size() << "\"" << std::endl;
}

void logPacket(const TSPackets::Login& packet) {
  std::cout << "received login packet" << std::endl;
  std::cout << "your entity id: " << packet.entityId << std::endl;
  std::cout << "Map Seed of server: " << packet.mapSeed << std::endl;
}

void logPacket(const TSPackets::ChatMessage& packet) {
  std::cout << "Chat: " << packet.message << std::endl;
}

void logPacket(const TSPackets::TimeUpdate&) {}

void logPacket(const TSPackets::EntityEquipment& packet) {
  std::cout << "entity(" << packet.entityId << ") equipment change: " << packet.slot << ", "
            << packet.itemId << std::endl;
}

void logPacket(const TSPackets::SpawnPoint& packet) {
  std::cout << "Your spawnpoint now is: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
}

void logPacket(const TSPackets::UpdateHealth& packet) {
  std::cout << "Your health has been updated to " << packet.health << std::endl;
}

void logPacket(const TSPackets::Respawn&) {
  std::cout << "The server has accepted your respawn request" << std::endl;
}

void logPacket(const TSPackets::PlayerPosAndLook& packet) {
  std::cout << "received pos and look packet: " << std::endl;
  std::cout << "x,y,z,stance = " << packet.x << "," << packet.y << "," << packet.z << ","
            << packet.stance << std::endl;
  std::cout << "yaw, pitch, on_ground" << packet.yaw << "," << packet.pitch << ","
            << packet.onGround << std::endl;
  std::cout << "answering with same packet" << std::endl;
}

void logPacket(const TSPackets::Animation& packet) {
  std::cout << packet.entityId << " changed it's animation to: " << number(packet.animation)
            << std::endl;
}

void logPacket(const TSPackets::NamedEntitySpawn& packet) {
  std::cout << "A named entity spawned: " << packet.entityId << ", " << packet.name << std::endl;
}

void logPacket(const TSPackets::PickupSpawn& packet) {
  std::cout << "received pickupspawn" << std::endl;
  std::cout << packet.entityId << std::endl;
  std::cout << packet.damage << std::endl;
  std::cout << packet.x << std::endl;
  std::cout << packet.y << std::endl;
  std::cout << packet.z << std::endl;
  std::cout << number(packet.rotation) << std::endl;
  std::cout << number(packet.pitch) << std::endl;
  std::cout << number(packet.roll) << std::endl;
}

void logPacket(const TSPackets::CollectItem& packet) {
  std::cout << "The item may now start flying towards you: " << packet.collectedEntityId
            << std::endl;
}

void logPacket(const TSPackets::AddObject& packet) {
  std::cout << "A new vehicle or projectile has been created: " << number(packet.type)
            << std::endl;
}

void logPacket(const TSPackets::MobSpawn& packet) {
  std::cout << "received mobspawn" << std::endl;
  std::cout << packet.entityId << std::endl;
  std::cout << number(packet.mobType) << std::endl;
  std::cout << packet.metadata.size() << std::endl;
  std::cout << packet.x << std::endl;
  std::cout << packet.y << std::endl;
  std::cout << packet.z << std::endl;
  std::cout << number(packet.yaw) << std::endl;
  std::cout << number(packet.pitch) << std::endl;
}

void logPacket(const TSPackets::EntityPainting& packet) {
  std::cout << "something happened with a painting at " << packet.x << ", " << packet.y << ", "
            << packet.z << std::endl;
}

void logPacket(const TSPackets::EntityVelocity& packet) {
  std::cout << "velocity of entity " << packet.entityId << " updated" << std::endl;
}

void logPacket(const TSPackets::DestroyEntity& packet) {
  std::cout << "entity " << packet.entityId << " destroyed" << std::endl;
}

void logPacket(const TSPackets::Entity&) {}

void logPacket(const TSPackets::EntityRelativeMove&) {}

void logPacket(const TSPackets::EntityLook&) {}

void logPacket(const TSPackets::EntityLookAndMove&) {}

void logPacket(const TSPackets::EntityTeleport& packet) {
  std::cout << "entity " << packet.entityId << " teleported" << std::endl;
}

void logPacket(const TSPackets::EntityStatus& packet) {
  std::cout << "entity " << packet.entityId << " status update to " << number(packet.status)
            << std::endl;
}

void logPacket(const TSPackets::AttachEntity& packet) {
  std::cout << "entity " << packet.entityId << " has been attached to " << packet.vehicleEntityId
            << std::endl;
}

void logPacket(const TSPackets::EntityMetadata& packet) {
  std::cout << "entity " << packet.entityId << " has new metadata" << std::endl;
}

void logPacket(const TSPackets::Prechunk& packet) {
  std::cout << "received prechunk for pos: " << packet.chunkX << ", " << packet.chunkZ
            << " ... mode: " << number(packet.mode) << std::endl;
}

void logPacket(const TSPackets::MapChunk& packet) {
  std::cout << "received MapChunk: " << packet.x << ", " << packet.y << ", " << packet.z
            << " of size: " << number(packet.sizeX) << ", " << number(packet.sizeY) << ", "
            << number(packet.sizeZ) << std::endl;
}

void logPacket(const TSPackets::MultiBlockChange& packet) {
  std::cout << "received multi block change(x,z): " << packet.chunkX << ", " << packet.chunkZ
            << std::endl;
}

void logPacket(const TSPackets::BlockChange& packet) {
  std::cout << "received block change: " << packet.x << ", " << number(packet.y) << ", "
            << packet.z << ": " << number(packet.blockType) << ", " << number(packet.metadata)
            << std::endl;
}

void logPacket(const TSPackets::BlockAction& packet) {
  std::cout << "You hear some music playing at " << packet.x << ", " << packet.y << ", "
            << packet.z << std::endl;
}

void logPacket(const TSPackets::Explosion& packet) {
  std::cout << "Explosion at " << packet.x << ", " << packet.y << ", " << packet.z << std::endl;
}

void logPacket(const TSPackets::OpenWindow& packet) {
  std::cout << "Please open inventory " << number(packet.windowId) << " of type "
            << inventoryTypeName(packet.inventoryType) << std::endl;
}

void logPacket(const TSPackets::CloseWindow& packet) {
  std::cout << "Please close window " << number(packet.windowId) << std::endl;
}

void logPacket(const TSPackets::SetSlot& packet) {
  std::cout << "received SetSlot for window: " << number(packet.windowId) << std::endl;
}

void logPacket(const TSPackets::WindowItems& packet) {
  std::cout << "received window items for window " << number(packet.windowId) << std::endl;
}

void logPacket(const TSPackets::UpdateProgressBar& packet) {
  std::cout << "progress bar " << packet.progressBar << " of window " << number(packet.windowId)
            << " updated to " << packet.value << std::endl;
}

void logPacket(const TSPackets::Transaction& packet) {
  std::cout << "transaction " << packet.actionNumber << " was "
            << (packet.accepted ? "accepted" : "not accepted") << std::endl;
}

void logPacket(const TSPackets::UpdateSign& packet) {
  std::cout << "sign at " << packet.x << ", " << packet.y << ", " << packet.z << " now reads:"
            << std::endl;
  for (const std::string* line : {&packet.text1, &packet.text2, &packet.text3, &packet.text4}) {
    std::cout << '"' << *line << '"' << std::endl;
  }
}

void logPacket(const TSPackets::Disconnect& packet) {
  std::cout << "You have been kicked by the server: " << packet.reason << std::endl;
}

void logPacket(const TSPackets::UseBed&) { std::cout << "Use Bed" << std::endl; }

void logPacket(const TSPackets::Sound&) {}

void logPacket(const TSPackets::ItemData&) {}

void logPacket(const TSPackets::Thunderbolt&) {}

void logPacket(const TSPackets::Statistic&) {}

void logPacket(const TSPackets::StateChange&) {}

void logPacket(const TSPackets::PlayerDig&) {}

void logPacket(const TSPackets::UseEntity&) { std::cout << "Use Entity" << std::endl; }

void logPacket(const TSPackets::ExperienceOrb& packet) {
  std::cout << "experience orb at: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
}

void logPacket(const TSPackets::EntityEffect& packet) {
  std::cout << "entity effect " << number(packet.effect) << " added to " << packet.entityId
            << std::endl;
}

void logPacket(const TSPackets::RemoveEntityEffect& packet) {
  std::cout << "entity effect " << number(packet.effect) << " removed from " << packet.entityId
            << std::endl;
}

void logPacket(const TSPackets::Experience& packet) {
  std::cout << "experience: " << number(packet.experience) << std::endl;
}

void logPacket(const TSPackets::CreativeInventoryAction&) {}

void logPacket(const TSPackets::PlayerListItem&) {}

void logPacket(const TSPackets::PlayerPosition& packet) {
  std::cout << "received position packet: x,y,z,stance = " << packet.x << "," << packet.y << ","
            << packet.z << "," << packet.stance << std::endl;
}
