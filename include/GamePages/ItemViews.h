#ifndef GAME_PAGES_ITEM_VIEWS_H
#define GAME_PAGES_ITEM_VIEWS_H

// How the heads-up display shows a stack of items: its picture and count,
// and its name where the client knows one.

#include <string>

#include "HotbarView.h"
#include "inventory/ItemStack.h"

namespace GamePages {

SlotView slotView(const ItemStack& stack);
// Empty for an empty slot or an item the client does not know.
std::string itemName(const ItemStack& stack);

} // namespace GamePages

#endif
