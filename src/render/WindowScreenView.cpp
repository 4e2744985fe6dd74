#include "WindowScreenView.h"

#include <algorithm>

#include "HudPaint.h"

namespace {

constexpr float FullSlot = 36;
constexpr float SmallestSlot = 4;
constexpr float Padding = 12;
constexpr float TitleHeight = 26;
constexpr float Margin = 8;
// In slots: the gap above the main inventory and the one above the hotbar.
constexpr float CarriedGap = 0.3f;
constexpr float HotbarGap = 0.2f;
constexpr float CarriedRows = 3 + HotbarGap + 1;
constexpr int Columns = 9;
constexpr int MainSlots = 27;

// A slot's place in slots from the top left of the window's own part.
struct Cell {
  float column, row;
};

int ownRows(int ownSlots) { return (ownSlots + Columns - 1) / Columns; }

// The special windows have the slot counts the protocol gives them; one
// that comes with another count is laid out as a chest, slot by slot.
WindowKind laidOutAs(WindowKind kind, int ownSlots) {
  switch (kind) {
  case WindowKind::Workbench:
    return ownSlots == 10 ? kind : WindowKind::Chest;
  case WindowKind::Furnace:
    return ownSlots == 3 ? kind : WindowKind::Chest;
  case WindowKind::Dispenser:
    return ownSlots == 9 ? kind : WindowKind::Chest;
  default:
    return kind;
  }
}

// The rows of the window's own part.
float ownHeight(WindowKind kind, int ownSlots) {
  switch (kind) {
  case WindowKind::Player:
    return 4;
  case WindowKind::Chest:
    return static_cast<float>(ownRows(ownSlots));
  default:
    return 3;
  }
}

// The player's window: armour down the left, the crafting grid and its
// result to the right.
Cell playerCell(int slot) {
  if (slot == 0)
    return {7.2f, 1};
  if (slot <= 4)
    return {4 + static_cast<float>((slot - 1) % 2), 0.5f + static_cast<float>((slot - 1) / 2)};
  return {0, static_cast<float>(slot - 5)};
}

Cell ownCell(WindowKind kind, int slot) {
  switch (kind) {
  case WindowKind::Player:
    return playerCell(slot);
  case WindowKind::Workbench:
    if (slot == 0)
      return {6.5f, 1};
    return {1 + static_cast<float>((slot - 1) % 3), static_cast<float>((slot - 1) / 3)};
  case WindowKind::Furnace: {
    static const Cell cells[] = {{2, 0}, {2, 2}, {6, 1}};
    return cells[slot];
  }
  case WindowKind::Dispenser:
    return {3 + static_cast<float>(slot % 3), static_cast<float>(slot / 3)};
  default:
    return {static_cast<float>(slot % Columns), static_cast<float>(slot / Columns)};
  }
}

// The main inventory's rows, then the hotbar, below the window's own part.
Cell carriedCell(int index, float top) {
  if (index < MainSlots)
    return {static_cast<float>(index % Columns), top + CarriedGap + static_cast<float>(index / Columns)};
  return {static_cast<float>(index - MainSlots), top + CarriedGap + 3 + HotbarGap};
}

bool within(ImVec2 point, ImVec2 min, ImVec2 max) {
  return point.x >= min.x && point.x < max.x && point.y >= min.y && point.y < max.y;
}

ImVec2 plus(ImVec2 a, float x, float y) { return ImVec2(a.x + x, a.y + y); }

void drawFurnaceBars(ImDrawList& list, const WindowLayout& layout, const WindowScreenView& view) {
  const float s = layout.slotSize;
  const ImVec2 flameMax = plus(layout.flameMin, s, s);
  list.AddRect(layout.flameMin, flameMax, HudPaint::colour(0x8A8A8A));
  const float burning = std::clamp(view.fuel, 0.0f, 1.0f);
  list.AddRectFilled(ImVec2(layout.flameMin.x + s * 0.25f, flameMax.y - s * burning),
                     ImVec2(flameMax.x - s * 0.25f, flameMax.y), HudPaint::colour(0xF08020));
  const ImVec2 arrowMax = plus(layout.arrowMin, s * 1.6f, s * 0.5f);
  list.AddRectFilled(layout.arrowMin, arrowMax, HudPaint::colour(0x8A8A8A));
  const float cooked = std::clamp(view.cooking, 0.0f, 1.0f);
  list.AddRectFilled(layout.arrowMin,
                     ImVec2(layout.arrowMin.x + (arrowMax.x - layout.arrowMin.x) * cooked, arrowMax.y),
                     HudPaint::colour(0xFFFFFF));
}

void drawTooltip(ImDrawList& list, ImVec2 pointer, const std::string& text) {
  const ImVec2 size = HudPaint::textSize(text);
  const ImVec2 min(pointer.x + 14, pointer.y - size.y - 10);
  list.AddRectFilled(min, plus(min, size.x + 8, size.y + 6), HudPaint::colour(0x100010, 0.9f));
  HudPaint::text(list, plus(min, 4, 3), text, HudPaint::colour(0xFFFFFF));
}

} // namespace

WindowLayout layoutWindow(WindowKind kind, int ownSlots, ImVec2 display) {
  kind = laidOutAs(kind, ownSlots);
  const int own = kind == WindowKind::Player ? 5 + 4 : std::max(ownSlots, 0);
  const float top = ownHeight(kind, own);
  const float rows = top + CarriedGap + CarriedRows;
  const float fitsHigh = (display.y - 2 * Margin - TitleHeight - Padding) / rows;
  const float fitsWide = (display.x - 2 * Margin - 2 * Padding) / Columns;
  WindowLayout layout;
  layout.slotSize = std::max(SmallestSlot, std::min({FullSlot, fitsHigh, fitsWide}));
  const float s = layout.slotSize;
  const ImVec2 size(2 * Padding + Columns * s, TitleHeight + Padding + rows * s);
  layout.panelMin = ImVec2((display.x - size.x) / 2, (display.y - size.y) / 2);
  layout.panelMax = plus(layout.panelMin, size.x, size.y);
  layout.titleAt = plus(layout.panelMin, Padding, 5);
  const ImVec2 origin = plus(layout.panelMin, Padding, TitleHeight);
  const auto place = [&](int slot, Cell cell) {
    layout.slots.push_back({slot, plus(origin, cell.column * s, cell.row * s)});
  };
  for (int slot = 0; slot < own; ++slot)
    place(slot, ownCell(kind, slot));
  for (int index = 0; index < MainSlots + Columns; ++index)
    place(own + index, carriedCell(index, top));
  layout.flameMin = plus(origin, 2 * s, s);
  layout.arrowMin = plus(origin, 3.7f * s, 1.25f * s);
  return layout;
}

WindowPoint pointIn(const WindowLayout& layout, ImVec2 point) {
  for (const SlotArea& area : layout.slots)
    if (within(point, area.min, plus(area.min, layout.slotSize, layout.slotSize)))
      return {WindowPoint::Kind::Slot, area.slot};
  if (within(point, layout.panelMin, layout.panelMax))
    return {WindowPoint::Kind::Panel, 0};
  return {WindowPoint::Kind::Outside, 0};
}

void drawWindowScreen(ImDrawList& list, ItemPictures& pictures, const WindowScreenView& view,
                      ImVec2 display) {
  const WindowLayout layout = layoutWindow(view.kind, view.ownSlots, display);
  const float s = layout.slotSize;
  list.AddRectFilled(ImVec2(0, 0), display, HudPaint::colour(0x000000, 0.45f));
  list.AddRectFilled(layout.panelMin, layout.panelMax, HudPaint::colour(0xC6C6C6, 0.95f), 4);
  list.AddRect(layout.panelMin, layout.panelMax, HudPaint::colour(0x555555), 4, 0, 2);
  HudPaint::text(list, layout.titleAt, view.title, HudPaint::colour(0xFFFFFF));
  const WindowPoint hovered =
      view.pointer ? pointIn(layout, *view.pointer) : WindowPoint{};
  for (std::size_t i = 0; i < layout.slots.size(); ++i) {
    const SlotArea& area = layout.slots[i];
    drawSlot(list, pictures, i < view.slots.size() ? view.slots[i] : SlotView{}, area.min, s);
    if (hovered.kind == WindowPoint::Kind::Slot && hovered.slot == area.slot)
      list.AddRectFilled(area.min, plus(area.min, s, s), HudPaint::colour(0xFFFFFF, 0.3f));
  }
  if (view.kind == WindowKind::Furnace && laidOutAs(view.kind, view.ownSlots) == WindowKind::Furnace)
    drawFurnaceBars(list, layout, view);
  if (!view.pointer)
    return;
  if (view.cursor.filled)
    drawItem(list, pictures, view.cursor, plus(*view.pointer, -s / 2, -s / 2), s);
  else if (!view.tooltip.empty())
    drawTooltip(list, *view.pointer, view.tooltip);
}
