#include "session/ClientSession.h"

#include "session/PacketLog.h"

// The player's items, windows, health and new lives: the packets are logged
// as before and told to the layer above through the events.

namespace {

template <class Event, class... Arguments>
void tell(const Event& event, Arguments&&... arguments) {
  if (event)
    event(std::forward<Arguments>(arguments)...);
}

} // namespace

void ClientSession::handleItemsHere() {
  handleHere<TSPackets::WindowItems>();
  handleHere<TSPackets::SetSlot>();
  handleHere<TSPackets::OpenWindow>();
  handleHere<TSPackets::CloseWindow>();
  handleHere<TSPackets::UpdateProgressBar>();
  handleHere<TSPackets::Transaction>();
  handleHere<TSPackets::UpdateHealth>();
  handleHere<TSPackets::Respawn>();
}

void ClientSession::handle(const TSPackets::WindowItems& packet) {
  logPacket(packet);
  std::vector<ItemStack> stacks;
  stacks.reserve(packet.itemIds.size());
  for (std::size_t i = 0; i < packet.itemIds.size(); ++i)
    stacks.push_back(
        ItemStack::fromWire(packet.itemIds[i], packet.itemCounts[i], packet.damages[i]));
  tell(m_events.windowItems, packet.windowId, stacks);
}

// An empty slot's count and damage are not on the wire.
void ClientSession::handle(const TSPackets::SetSlot& packet) {
  logPacket(packet);
  const ItemStack stack = packet.itemId < 0
                              ? ItemStack{}
                              : ItemStack::fromWire(packet.itemId, packet.itemCount, packet.damage);
  tell(m_events.slotSet, packet.windowId, packet.slot, stack);
}

void ClientSession::handle(const TSPackets::OpenWindow& packet) {
  logPacket(packet);
  tell(m_events.windowOpened, packet.windowId, static_cast<unsigned char>(packet.inventoryType),
       packet.title, packet.slotCount);
}

void ClientSession::handle(const TSPackets::CloseWindow& packet) {
  logPacket(packet);
  tell(m_events.windowClosed, packet.windowId);
}

void ClientSession::handle(const TSPackets::UpdateProgressBar& packet) {
  logPacket(packet);
  tell(m_events.progressBar, packet.windowId, packet.progressBar, packet.value);
}

// A server that refuses a click takes no more clicks in the window until
// the client has owned to the refusal with the same action number.
void ClientSession::handle(const TSPackets::Transaction& packet) {
  logPacket(packet);
  if (!packet.accepted) {
    TSPackets::Transaction apology = packet;
    apology.accepted = true;
    send(apology);
  }
  tell(m_events.clickAnswered, packet.windowId, packet.actionNumber, packet.accepted);
}

void ClientSession::handle(const TSPackets::UpdateHealth& packet) {
  logPacket(packet);
  tell(m_events.health, packet.health, packet.food);
}

// Until the server places the player in the new world, nothing is reported
// to it: the old place means nothing there.
void ClientSession::handle(const TSPackets::Respawn& packet) {
  logPacket(packet);
  m_world = packet;
  m_spawned = false;
  tell(m_events.respawned);
}

void ClientSession::holdSlot(int slot) {
  if (!isConnected())
    return;
  TSPackets::PlayerHoldingChange holding;
  holding.slot = static_cast<short>(slot);
  send(holding);
}

void ClientSession::requestRespawn() {
  if (!isConnected())
    return;
  send(m_world);
}
