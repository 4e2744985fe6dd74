#ifndef HOTBAR_VIEW_H
#define HOTBAR_VIEW_H

// The hotbar at the bottom of the heads-up display: nine slots with their
// items' pictures and counts, the held slot outlined, and the held item's
// name above the bar for a moment after it was chosen.

#include <array>
#include <string>

#include "ItemPictures.h"

struct SlotView {
  bool filled = false;
  ItemPicture picture;
  // Drawn from 2 on.
  int count = 0;
};

struct HotbarView {
  std::array<SlotView, 9> slots;
  int held = 0;
  std::string heldName;
  // 0 (hidden) to 1.
  float nameOpacity = 0;
};

// Where the bar lies on a display of that size: its slots' edge and top
// left corner.
float hotbarSlotSize();
ImVec2 hotbarOrigin(ImVec2 display);
// The top of the bar with the hearts above it: what the chat stays above.
float hotbarTop(ImVec2 display);

// An item's picture and count in a square, without the slot's frame.
void drawItem(ImDrawList& list, ItemPictures& pictures, const SlotView& slot, ImVec2 min,
              float size);
void drawSlot(ImDrawList& list, ItemPictures& pictures, const SlotView& slot, ImVec2 min,
              float size);
void drawHotbar(ImDrawList& list, ItemPictures& pictures, const HotbarView& view,
                ImVec2 display);

#endif
