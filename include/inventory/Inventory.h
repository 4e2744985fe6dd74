#ifndef INVENTORY_INVENTORY_H
#define INVENTORY_INVENTORY_H

// The player's items as the server says they are: the player's own window
// (window 0: crafting, armour, the main inventory and the hotbar), the
// window the server has opened over it (a chest, a furnace, a workbench),
// the stack on the cursor and the slot held in the hand. Clicks on a window
// change it at once, as the server will, and are kept until the server's
// Transaction answers them: a refused click is undone.
//
// Bad numbers from the server (an unknown window, a slot beyond the
// window's) change nothing; the caller is told so and says it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "inventory/ItemStack.h"

class Inventory {
public:
  static constexpr int PlayerWindow = 0;
  // Window 0: the crafting result (0), the crafting grid (1 to 4), armour
  // (5 to 8), the main inventory (9 to 35) and the hotbar (36 to 44).
  static constexpr int PlayerSlots = 45;
  static constexpr int MainFirst = 9;
  static constexpr int HotbarFirst = 36;
  static constexpr int HotbarSlots = 9;
  // The main inventory and the hotbar: what every other window shows below
  // its own slots.
  static constexpr int CarriedSlots = 36;
  // The slot number of a click outside the window: the cursor's stack is
  // thrown out.
  static constexpr int Outside = -999;
  // Clicks the server has not answered yet that can still be undone; older
  // ones are taken as accepted.
  static constexpr std::size_t MaxPendingClicks = 64;

  // The protocol's window types.
  enum class WindowType : std::uint8_t { Chest = 0, Workbench = 1, Furnace = 2, Dispenser = 3 };

  // A window the server has opened.
  struct OpenWindow {
    int id = 0;
    std::uint8_t type = 0;
    std::string title;
    // Its own slots; the 36 carried ones follow them.
    int ownSlots = 0;
    std::vector<ItemStack> slots;
    // The furnace's bars by their number (0: cooking, 1: fuel).
    std::vector<int> progress;
  };

  // What a click sends: the protocol's WindowClick.
  struct Click {
    int windowId = 0;
    int slot = 0;
    bool rightButton = false;
    std::int16_t action = 0;
    // The slot's stack before the click.
    ItemStack item;
  };

  // WindowItems: the window's slots from the first on. False for a window
  // that is neither the player's nor the open one; stacks beyond the
  // window's slots are left out (dropped() says how many).
  bool setItems(int windowId, const std::vector<ItemStack>& stacks);
  // SetSlot; window -1 and slot -1 is the cursor. False, changing nothing,
  // for an unknown window or slot.
  bool setSlot(int windowId, int slot, const ItemStack& stack);
  // How many stacks the last setItems left out.
  std::size_t dropped() const { return m_dropped; }

  // OpenWindow: replaces any open window. False for a window id of 0 or
  // below, or a slot count below 0 or above 127.
  bool open(int windowId, std::uint8_t type, std::string title, int slotCount);
  // CloseWindow, or the player closing it: the open window goes (whatever
  // its id when none is given); its clicks are forgotten.
  void close(std::optional<int> windowId = std::nullopt);
  const std::optional<OpenWindow>& openWindow() const { return m_open; }
  // UpdateProgressBar for the open window; false when it is not open or the
  // bar's number is not 0 to 15.
  bool setProgress(int windowId, int bar, int value);

  // The window that clicks go to: the open one, else the player's.
  int activeWindow() const { return m_open ? m_open->id : PlayerWindow; }
  // Slots of the active window, with the carried ones.
  int slotCount() const;
  // The active window's stack in the slot; empty beyond its slots.
  const ItemStack& slot(int index) const;
  const ItemStack& cursor() const { return m_cursor; }
  // The player's window, slot by slot.
  const ItemStack& playerSlot(int index) const;
  const ItemStack& hotbar(int index) const { return playerSlot(HotbarFirst + index); }

  // The hotbar slot in the hand, 0 to 8.
  int held() const { return m_held; }
  const ItemStack& heldStack() const { return hotbar(m_held); }
  // Chooses the held slot; false when it is already held or out of range.
  bool hold(int index);
  // The wheel: steps forward (positive) or back, around the nine slots.
  // False when the held slot stays.
  bool scroll(int steps);
  // One of the held stack was placed.
  void useHeld();

  // A click of the active window's slot (or Outside): applies what the
  // server will do and returns the WindowClick to send; none for a slot the
  // window does not have.
  std::optional<Click> click(int slot, bool rightButton);
  // The server's Transaction. Accepted clicks are done with; a refused
  // click is undone, and the clicks after it with it. False for an action
  // that is not waiting for an answer.
  bool answer(int windowId, std::int16_t action, bool accepted);
  std::size_t pendingClicks() const { return m_pending.size(); }

  // A new world: everything of the old one goes, the held slot stays.
  void clear();

private:
  struct Pending {
    int windowId;
    std::int16_t action;
    // The window's slots and the cursor before the click.
    std::vector<ItemStack> slots;
    ItemStack cursor;
  };

  // The stack of the active window's slot; null beyond its slots.
  ItemStack* slotOf(int windowId, int index);
  std::vector<ItemStack> snapshot() const;
  void restore(const std::vector<ItemStack>& slots);
  bool takesOnly(int index) const;
  void clickSlot(ItemStack& target, bool rightButton, bool takeOnly);
  void throwOut(bool rightButton);
  std::int16_t nextAction();

  std::vector<ItemStack> m_player = std::vector<ItemStack>(PlayerSlots);
  std::optional<OpenWindow> m_open;
  ItemStack m_cursor;
  int m_held = 0;
  std::int16_t m_lastAction = 0;
  std::deque<Pending> m_pending;
  std::size_t m_dropped = 0;
};

#endif
