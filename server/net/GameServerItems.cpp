#include "server/GameServer.h"

#include "server/ItemPackets.h"

// The players' items: the held slot, the stack a place uses up, what a dig
// yields and the clicks of the player's window. The server's copy is the
// truth; a client that differs is shown it.

namespace Server {

namespace {

bool isFluid(std::uint8_t type) { return type >= 8 && type <= 11; }

} // namespace

void GameServer::holdSlot(Session& session, const TSPackets::PlayerHoldingChange& packet) {
  if (!session.state.items.hold(packet.slot)) {
    m_log.line(label(session), " may not hold slot ", packet.slot);
    return;
  }
  m_log.line(label(session), " holds slot ", packet.slot);
}

// The client's idea of the held stack has to be the server's in kind; its
// count may lag behind a place the server has not told it of yet.
std::string GameServer::unplaceable(const Session& session,
                                    const TSPackets::PlayerBlockPlace& packet) const {
  const ItemStack claimed = ItemStack::fromWire(packet.itemId, packet.itemCount, packet.damage);
  const ItemStack& held = session.state.items.heldStack();
  if (claimed.empty())
    return "the hand is empty";
  if (!claimed.isBlock())
    return "item " + std::to_string(claimed.itemId) + " is no block";
  if (held.empty() || !held.sameKind(claimed))
    return "the hand holds " + stackText(held) + ", not " + std::to_string(claimed.itemId);
  return {};
}

// A dug block goes into the player's inventory as an item of its own kind;
// fluids yield nothing. With no room the item is lost.
void GameServer::pickUp(Session& session, std::uint8_t blockType) {
  if (blockType == 0 || isFluid(blockType))
    return;
  auto& items = session.state.items;
  const std::optional<int> slot = items.add(blockType);
  if (!slot) {
    m_log.line(label(session), " has no room for ", int(blockType));
    return;
  }
  m_log.line(label(session), " picked up ", int(blockType), " into slot ", *slot);
  send(session, slotPacket(*slot, items.slot(*slot)));
}

void GameServer::click(Session& session, const TSPackets::WindowClick& packet) {
  if (packet.windowId != Inventory::PlayerWindow) {
    m_log.line(label(session), " click ", packet.actionNumber, " refused: window ",
               int(packet.windowId), " is not open");
    send(session, transactionPacket(packet.windowId, packet.actionNumber, false));
    return;
  }
  const ItemStack seen = ItemStack::fromWire(packet.itemId, packet.itemCount, packet.damage);
  auto& items = session.state.items;
  switch (items.click(packet.slot, packet.rightClick, packet.shift, seen)) {
  case PlayerItems::ClickResult::Applied:
    m_log.line(label(session), packet.rightClick ? " right-clicked" : " clicked", " slot ",
               packet.slot, " (action ", packet.actionNumber, "), holding ",
               stackText(items.cursor()));
    send(session, transactionPacket(packet.windowId, packet.actionNumber, true));
    return;
  case PlayerItems::ClickResult::NoSuchSlot:
    refuseClick(session, packet, "no slot " + std::to_string(packet.slot));
    return;
  case PlayerItems::ClickResult::Shifted:
    refuseClick(session, packet, "shifted clicks move nothing");
    return;
  case PlayerItems::ClickResult::Mismatch:
    refuseClick(session, packet,
                "slot " + std::to_string(packet.slot) + " holds " +
                    stackText(items.slot(packet.slot)) + ", not " + stackText(seen));
    return;
  }
}

// What the player held on the cursor goes back into the inventory, which
// the client is shown: it has let go of the stack.
void GameServer::closeWindow(Session& session, const TSPackets::CloseWindow& packet) {
  auto& items = session.state.items;
  const std::string held = stackText(items.cursor());
  const int lost = items.putBackCursor();
  m_log.line(label(session), " closed window ", int(packet.windowId), ", putting back ", held,
             lost > 0 ? " (" + std::to_string(lost) + " found no room)" : std::string());
  send(session, windowItemsPacket(items));
}

// The refusal, then the window and the cursor as they are, so that the
// client can start again from the truth.
void GameServer::refuseClick(Session& session, const TSPackets::WindowClick& packet,
                             const std::string& why) {
  m_log.line(label(session), " click ", packet.actionNumber, " refused: ", why);
  const auto& items = session.state.items;
  send(session, transactionPacket(packet.windowId, packet.actionNumber, false));
  send(session, windowItemsPacket(items));
  send(session, cursorPacket(items.cursor()));
}

} // namespace Server
