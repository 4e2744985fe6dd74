#ifndef PLAYER_ITEMS_H
#define PLAYER_ITEMS_H

#include <optional>
#include <string>
#include <vector>

#include "inventory/Inventory.h"

namespace Server {

// The server's copy of one player's own window (window 0), the stack on the
// player's cursor and the held hotbar slot: what the player really has,
// against which the client's places and clicks are checked. Slots are the
// window's numbers (36 to 44 the hotbar).
class PlayerItems {
public:
  // How a new player starts: a full stack of a block in each hotbar slot but
  // the last.
  PlayerItems();

  // The held hotbar slot, 0 to 8; false, holding what it held, for another
  // number.
  bool hold(int hotbarSlot);
  int held() const { return m_inventory.held(); }
  // The window's slot of the held stack.
  int heldSlot() const { return Inventory::HotbarFirst + held(); }
  const ItemStack& heldStack() const { return m_inventory.heldStack(); }
  // One of the held stack has been placed.
  void useHeld() { m_inventory.useHeld(); }

  // One more of the item: onto the first stack of its kind with room, else
  // into the first empty slot, the hotbar before the main inventory. The
  // slot it went into; none when every slot is full.
  std::optional<int> add(std::int16_t itemId);

  // The window is closed: the stack on the cursor goes back into the
  // inventory as add() would put it, one by one. How many found no room
  // and were lost.
  int putBackCursor();

  enum class ClickResult { Applied, NoSuchSlot, Shifted, Mismatch };
  // A click of the window as the client applies it, when the client's idea
  // of the clicked slot (`seen`) is the server's; otherwise nothing changes
  // and the result says why.
  ClickResult click(int slot, bool rightButton, bool shift, const ItemStack& seen);

  const ItemStack& slot(int index) const { return m_inventory.playerSlot(index); }
  const ItemStack& cursor() const { return m_inventory.cursor(); }
  std::vector<ItemStack> slots() const;

private:
  std::optional<int> firstSlot(const ItemStack& wanted, bool emptyOnly) const;
  std::optional<int> addOne(const ItemStack& kind);

  Inventory m_inventory;
};

// "64 of 1", "1 of 17:2" (with the damage when it is not 0), or "nothing".
std::string stackText(const ItemStack& stack);

} // namespace Server

#endif
