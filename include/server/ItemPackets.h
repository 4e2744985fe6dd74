#ifndef ITEM_PACKETS_H
#define ITEM_PACKETS_H

#include <string>

#include "inventory/ItemStack.h"
#include "server/PlayerItems.h"

namespace Server {

// Food, and the saturation that goes with it, for a player who never
// hungers.
constexpr short FullFood = 20;
constexpr float FullSaturation = 5.0f;
constexpr int FullHealth = 20;

// The whole player window (window 0), slot by slot.
std::string windowItemsPacket(const PlayerItems& items);
// One slot of the player window.
std::string slotPacket(int slot, const ItemStack& stack);
// The stack on the cursor: slot -1 of window -1.
std::string cursorPacket(const ItemStack& stack);
std::string healthPacket(int health);
// The answer to a click.
std::string transactionPacket(int windowId, short action, bool accepted);

} // namespace Server

#endif
