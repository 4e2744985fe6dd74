#include "Network.h"

#include <iostream>

// The default handlers: most log the packet, a few answer the server.

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

void Network::handle(const TSPackets::Ping& packet) {
  TSPackets::Ping answer;
  answer.keepAliveId = packet.keepAliveId;
  send(answer);
}

void Network::handle(const TSPackets::Login& packet) {
  std::cout << "received login packet" << std::endl;
  std::cout << "your entity id: " << packet.entityId << std::endl;
  std::cout << "Map Seed of server: " << packet.mapSeed << std::endl;
}

void Network::handle(const TSPackets::ChatMessage& packet) {
  std::cout << "Chat: " << packet.message << std::endl;
}

void Network::handle(const TSPackets::TimeUpdate&) {}

void Network::handle(const TSPackets::EntityEquipment& packet) {
  std::cout << "entity(" << packet.entityId << ") equipment change: " << packet.slot << ", "
            << packet.itemId << std::endl;
}

void Network::handle(const TSPackets::SpawnPoint& packet) {
  std::cout << "Your spawnpoint now is: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
}

void Network::handle(const TSPackets::UpdateHealth& packet) {
  std::cout << "Your health has been updated to " << packet.health << std::endl;
}

void Network::handle(const TSPackets::Respawn&) {
  std::cout << "The server has accepted your respawn request" << std::endl;
}

void Network::handle(const TSPackets::PlayerPosAndLook& packet) {
  const TSPackets::PlayerPosAndLook answer = packet;
  std::cout << "received pos and look packet: " << std::endl;
  std::cout << "x,y,z,stance = " << answer.x << "," << answer.y << "," << answer.z << ","
            << answer.stance << std::endl;
  std::cout << "yaw, pitch, on_ground" << answer.yaw << "," << answer.pitch << ","
            << answer.onGround << std::endl;
  std::cout << "answering with same packet" << std::endl;
  send(answer);
}

void Network::handle(const TSPackets::Animation& packet) {
  std::cout << packet.entityId << " changed it's animation to: " << number(packet.animation)
            << std::endl;
}

void Network::handle(const TSPackets::NamedEntitySpawn& packet) {
  std::cout << "A named entity spawned: " << packet.entityId << ", " << packet.name << std::endl;
}

void Network::handle(const TSPackets::PickupSpawn& packet) {
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

void Network::handle(const TSPackets::CollectItem& packet) {
  std::cout << "The item may now start flying towards you: " << packet.collectedEntityId
            << std::endl;
}

void Network::handle(const TSPackets::AddObject& packet) {
  std::cout << "A new vehicle or projectile has been created: " << number(packet.type)
            << std::endl;
}

void Network::handle(const TSPackets::MobSpawn& packet) {
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

void Network::handle(const TSPackets::EntityPainting& packet) {
  std::cout << "something happened with a painting at " << packet.x << ", " << packet.y << ", "
            << packet.z << std::endl;
}

void Network::handle(const TSPackets::EntityVelocity& packet) {
  std::cout << "velocity of entity " << packet.entityId << " updated" << std::endl;
}

void Network::handle(const TSPackets::DestroyEntity& packet) {
  std::cout << "entity " << packet.entityId << " destroyed" << std::endl;
}

void Network::handle(const TSPackets::Entity&) {}

void Network::handle(const TSPackets::EntityRelativeMove&) {}

void Network::handle(const TSPackets::EntityLook&) {}

void Network::handle(const TSPackets::EntityLookAndMove&) {}

void Network::handle(const TSPackets::EntityTeleport& packet) {
  std::cout << "entity " << packet.entityId << " teleported" << std::endl;
}

void Network::handle(const TSPackets::EntityStatus& packet) {
  std::cout << "entity " << packet.entityId << " status update to " << number(packet.status)
            << std::endl;
}

void Network::handle(const TSPackets::AttachEntity& packet) {
  std::cout << "entity " << packet.entityId << " has been attached to " << packet.vehicleEntityId
            << std::endl;
}

void Network::handle(const TSPackets::EntityMetadata& packet) {
  std::cout << "entity " << packet.entityId << " has new metadata" << std::endl;
}

void Network::handle(const TSPackets::Prechunk& packet) {
  std::cout << "received prechunk for pos: " << packet.chunkX << ", " << packet.chunkZ
            << " ... mode: " << number(packet.mode) << std::endl;
}

void Network::handle(const TSPackets::MapChunk& packet) {
  std::cout << "received MapChunk: " << packet.x << ", " << packet.y << ", " << packet.z
            << " of size: " << number(packet.sizeX) << ", " << number(packet.sizeY) << ", "
            << number(packet.sizeZ) << std::endl;
}

void Network::handle(const TSPackets::MultiBlockChange& packet) {
  std::cout << "received multi block change(x,z): " << packet.chunkX << ", " << packet.chunkZ
            << std::endl;
}

void Network::handle(const TSPackets::BlockChange& packet) {
  std::cout << "received block change: " << packet.x << ", " << number(packet.y) << ", "
            << packet.z << ": " << number(packet.blockType) << ", " << number(packet.metadata)
            << std::endl;
}

void Network::handle(const TSPackets::BlockAction& packet) {
  std::cout << "You hear some music playing at " << packet.x << ", " << packet.y << ", "
            << packet.z << std::endl;
}

void Network::handle(const TSPackets::Explosion& packet) {
  std::cout << "Explosion at " << packet.x << ", " << packet.y << ", " << packet.z << std::endl;
}

void Network::handle(const TSPackets::OpenWindow& packet) {
  std::cout << "Please open inventory " << number(packet.windowId) << " of type "
            << inventoryTypeName(packet.inventoryType) << std::endl;
}

void Network::handle(const TSPackets::CloseWindow& packet) {
  std::cout << "Please close window " << number(packet.windowId) << std::endl;
}

void Network::handle(const TSPackets::SetSlot& packet) {
  std::cout << "received SetSlot for window: " << number(packet.windowId) << std::endl;
}

void Network::handle(const TSPackets::WindowItems& packet) {
  std::cout << "received window items for window " << number(packet.windowId) << std::endl;
}

void Network::handle(const TSPackets::UpdateProgressBar& packet) {
  std::cout << "progress bar " << packet.progressBar << " of window " << number(packet.windowId)
            << " updated to " << packet.value << std::endl;
}

void Network::handle(const TSPackets::Transaction& packet) {
  std::cout << "transaction " << packet.actionNumber << " was "
            << (packet.accepted ? "accepted" : "not accepted") << std::endl;
}

void Network::handle(const TSPackets::UpdateSign& packet) {
  std::cout << "sign at " << packet.x << ", " << packet.y << ", " << packet.z << " now reads:"
            << std::endl;
  for (const std::string* line : {&packet.text1, &packet.text2, &packet.text3, &packet.text4}) {
    std::cout << '"' << *line << '"' << std::endl;
  }
}

void Network::handle(const TSPackets::Disconnect& packet) {
  std::cout << "You have been kicked by the server: " << packet.reason << std::endl;
  disconnect();
}

void Network::handle(const TSPackets::UseBed&) { std::cout << "Use Bed" << std::endl; }

void Network::handle(const TSPackets::Unknown0x1B& packet) {
  std::cout << "Unknown 0x1B: " << packet.value1 << ", " << packet.value2 << ", " << packet.value3
            << ", " << packet.value4 << ", " << packet.flag1 << ", " << packet.flag2 << std::endl;
}

void Network::handle(const TSPackets::Sound&) {}

void Network::handle(const TSPackets::ItemData&) {}

void Network::handle(const TSPackets::Thunderbolt&) {}

void Network::handle(const TSPackets::Statistic&) {}

void Network::handle(const TSPackets::StateChange&) {}

void Network::handle(const TSPackets::PlayerDig&) {}

void Network::handle(const TSPackets::UseEntity&) { std::cout << "Use Entity" << std::endl; }

void Network::handle(const TSPackets::ExperienceOrb& packet) {
  std::cout << "experience orb at: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
}

void Network::handle(const TSPackets::EntityEffect& packet) {
  std::cout << "entity effect " << number(packet.effect) << " added to " << packet.entityId
            << std::endl;
}

void Network::handle(const TSPackets::RemoveEntityEffect& packet) {
  std::cout << "entity effect " << number(packet.effect) << " removed from " << packet.entityId
            << std::endl;
}

void Network::handle(const TSPackets::Experience& packet) {
  std::cout << "experience: " << number(packet.experience) << std::endl;
}

void Network::handle(const TSPackets::CreativeInventoryAction&) {}

void Network::handle(const TSPackets::PlayerListItem&) {}

void Network::handle(const TSPackets::PlayerPosition& packet) {
  std::cout << "received position packet: x,y,z,stance = " << packet.x << "," << packet.y << ","
            << packet.z << "," << packet.stance << std::endl;
}
