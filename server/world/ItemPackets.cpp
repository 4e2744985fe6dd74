#include "server/ItemPackets.h"

#include "TSPackets.h"
#include "server/ServerPackets.h"

namespace Server {

namespace {

constexpr signed char PlayerWindow = 0;
constexpr signed char CursorWindow = -1;
constexpr short CursorSlot = -1;

std::string setSlot(signed char windowId, short slot, const ItemStack& stack) {
  TSPackets::SetSlot packet;
  packet.windowId = windowId;
  packet.slot = slot;
  packet.itemId = stack.empty() ? -1 : stack.itemId;
  packet.itemCount = stack.empty() ? 0 : stack.count;
  packet.damage = stack.empty() ? 0 : stack.damage;
  return ServerPackets::bytes(packet);
}

} // namespace

std::string windowItemsPacket(const PlayerItems& items) {
  TSPackets::WindowItems packet;
  packet.windowId = PlayerWindow;
  for (const ItemStack& stack : items.slots()) {
    packet.itemIds.push_back(stack.empty() ? -1 : stack.itemId);
    packet.itemCounts.push_back(stack.empty() ? 0 : stack.count);
    packet.damages.push_back(stack.empty() ? 0 : stack.damage);
  }
  packet.count = static_cast<short>(packet.itemIds.size());
  return ServerPackets::bytes(packet);
}

std::string slotPacket(int slot, const ItemStack& stack) {
  return setSlot(PlayerWindow, static_cast<short>(slot), stack);
}

std::string cursorPacket(const ItemStack& stack) {
  return setSlot(CursorWindow, CursorSlot, stack);
}

std::string healthPacket(int health) {
  TSPackets::UpdateHealth packet;
  packet.health = static_cast<short>(health);
  packet.food = FullFood;
  packet.saturation = FullSaturation;
  return ServerPackets::bytes(packet);
}

std::string transactionPacket(int windowId, short action, bool accepted) {
  TSPackets::Transaction packet;
  packet.windowId = static_cast<signed char>(windowId);
  packet.actionNumber = action;
  packet.accepted = accepted;
  return ServerPackets::bytes(packet);
}

} // namespace Server
