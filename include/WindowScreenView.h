#ifndef WINDOW_SCREEN_VIEW_H
#define WINDOW_SCREEN_VIEW_H

// The screen of a window over the world: the player's own inventory, or a
// window the server opened (a chest, a workbench, a furnace, a dispenser).
// Its slots with their items, the stack on the cursor at the pointer, the
// name of the item under the pointer and a furnace's bars. The layout is
// also what the page finds a click's slot with.

#include <optional>
#include <string>
#include <vector>

#include <imgui.h>

#include "HotbarView.h"

enum class WindowKind { Player, Chest, Workbench, Furnace, Dispenser };

// A slot's place on the screen: its top left corner; the layout says its
// size.
struct SlotArea {
  int slot = 0;
  ImVec2 min;
};

struct WindowLayout {
  ImVec2 panelMin, panelMax;
  float slotSize = 0;
  // Every slot of the window, its own ones first, then the main inventory
  // and the hotbar.
  std::vector<SlotArea> slots;
  ImVec2 titleAt;
  // A furnace's cooking arrow and fuel flame.
  ImVec2 arrowMin, flameMin;
};

// Where a point of the screen falls.
struct WindowPoint {
  enum class Kind { Slot, Panel, Outside };
  Kind kind = Kind::Outside;
  int slot = 0;
};

// The window's layout on a display of that size, centred and scaled down
// when it would not fit; `ownSlots` is the window's own slot count (45 for
// the player's, whose carried slots are among them).
WindowLayout layoutWindow(WindowKind kind, int ownSlots, ImVec2 display);
WindowPoint pointIn(const WindowLayout& layout, ImVec2 point);

struct WindowScreenView {
  WindowKind kind = WindowKind::Player;
  int ownSlots = 0;
  std::string title;
  // In the layout's order.
  std::vector<SlotView> slots;
  SlotView cursor;
  // Where the pointer is; none when the display cannot say.
  std::optional<ImVec2> pointer;
  // The name of the item under the pointer, when it is known and nothing is
  // on the cursor.
  std::string tooltip;
  // A furnace's bars, 0 to 1.
  float cooking = 0;
  float fuel = 0;
};

void drawWindowScreen(ImDrawList& list, ItemPictures& pictures, const WindowScreenView& view,
                      ImVec2 display);

#endif
