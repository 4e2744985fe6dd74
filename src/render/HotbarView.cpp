#include "HotbarView.h"

#include "HudPaint.h"

namespace {

constexpr float SlotSize = 36;
constexpr float PictureInset = 5;
// Room below the bar for the chat input line.
constexpr float BottomGap = 34;

} // namespace

float hotbarSlotSize() { return SlotSize; }

ImVec2 hotbarOrigin(ImVec2 display) {
  return ImVec2((display.x - SlotSize * 9) / 2, display.y - BottomGap - SlotSize);
}

float hotbarTop(ImVec2 display) { return hotbarOrigin(display).y - 24; }

void drawItem(ImDrawList& list, ItemPictures& pictures, const SlotView& slot, ImVec2 min,
              float size) {
  if (!slot.filled)
    return;
  const float inset = size * PictureInset / SlotSize;
  const ImVec2 max(min.x + size, min.y + size);
  pictures.draw(list, slot.picture, ImVec2(min.x + inset, min.y + inset),
                ImVec2(max.x - inset, max.y - inset));
  if (slot.count > 1) {
    const std::string count = std::to_string(slot.count);
    const ImVec2 extent = HudPaint::textSize(count, 14);
    HudPaint::text(list, ImVec2(max.x - extent.x - 2, max.y - extent.y), count,
                   HudPaint::colour(0xFFFFFF), 14);
  }
}

void drawSlot(ImDrawList& list, ItemPictures& pictures, const SlotView& slot, ImVec2 min,
              float size) {
  const ImVec2 max(min.x + size, min.y + size);
  list.AddRectFilled(min, max, HudPaint::colour(0x202020, 0.55f));
  list.AddRect(min, max, HudPaint::colour(0x8A8A8A, 0.9f));
  drawItem(list, pictures, slot, min, size);
}

void drawHotbar(ImDrawList& list, ItemPictures& pictures, const HotbarView& view,
                ImVec2 display) {
  const ImVec2 origin = hotbarOrigin(display);
  for (int index = 0; index < 9; ++index)
    drawSlot(list, pictures, view.slots[static_cast<std::size_t>(index)],
             ImVec2(origin.x + SlotSize * index, origin.y), SlotSize);
  const ImVec2 held(origin.x + SlotSize * view.held, origin.y);
  list.AddRect(ImVec2(held.x - 2, held.y - 2), ImVec2(held.x + SlotSize + 2, held.y + SlotSize + 2),
               HudPaint::colour(0xFFFFFF), 0, 0, 3);
  if (view.nameOpacity > 0 && !view.heldName.empty()) {
    const ImVec2 extent = HudPaint::textSize(view.heldName);
    HudPaint::text(list, ImVec2((display.x - extent.x) / 2, origin.y - 44), view.heldName,
                   HudPaint::colour(0xFFFFFF, view.nameOpacity));
  }
}
