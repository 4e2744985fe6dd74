#include "HealthView.h"

#include <algorithm>

#include "HotbarView.h"
#include "HudPaint.h"

namespace {

constexpr float Symbol = 14;
constexpr float Step = 16;

// A heart: two lobes and a point, clipped to its left half for half a
// heart.
void heart(ImDrawList& list, ImVec2 at, ImU32 ink) {
  const float r = Symbol / 4;
  list.AddCircleFilled(ImVec2(at.x + r, at.y + r + 1), r, ink, 12);
  list.AddCircleFilled(ImVec2(at.x + 3 * r, at.y + r + 1), r, ink, 12);
  list.AddTriangleFilled(ImVec2(at.x, at.y + r + 2), ImVec2(at.x + Symbol, at.y + r + 2),
                         ImVec2(at.x + Symbol / 2, at.y + Symbol), ink);
}

// A shank: the meat and the bone sticking out of it.
void shank(ImDrawList& list, ImVec2 at, ImU32 meat, ImU32 bone) {
  list.AddLine(ImVec2(at.x + Symbol / 2, at.y + Symbol / 2), ImVec2(at.x + 2, at.y + Symbol - 2),
               bone, 3);
  list.AddCircleFilled(ImVec2(at.x + Symbol * 0.62f, at.y + Symbol * 0.38f), Symbol * 0.38f, meat,
                       12);
}

// Ten symbols from `left`, each full, half or empty for `points` of 20,
// the empty ones dark.
template <class Paint>
void row(ImDrawList& list, float left, float top, int points, Paint paint) {
  for (int index = 0; index < 10; ++index) {
    const ImVec2 at(left + Step * index, top);
    paint(at, false);
    const int filled = std::clamp(points - 2 * index, 0, 2);
    if (filled == 0)
      continue;
    list.PushClipRect(at, ImVec2(at.x + (filled == 2 ? Symbol : Symbol / 2), at.y + Symbol), true);
    paint(at, true);
    list.PopClipRect();
  }
}

void drawDeathScreen(ImDrawList& list, const HealthView& view, ImVec2 display) {
  list.AddRectFilled(ImVec2(0, 0), display, HudPaint::colour(0x600000, 0.6f));
  const std::string title = "You died!";
  const ImVec2 size = HudPaint::textSize(title, 36);
  HudPaint::text(list, ImVec2((display.x - size.x) / 2, display.y / 3 - size.y), title,
                 HudPaint::colour(0xFFFFFF), 36);
  const ButtonArea button = respawnButton(display);
  list.AddRectFilled(button.min, button.max, HudPaint::colour(0x707070, 0.9f));
  list.AddRect(button.min, button.max, HudPaint::colour(0xFFFFFF));
  const std::string label = "Respawn";
  const ImVec2 labelSize = HudPaint::textSize(label);
  HudPaint::text(list,
                 ImVec2((button.min.x + button.max.x - labelSize.x) / 2,
                        (button.min.y + button.max.y - labelSize.y) / 2),
                 label, HudPaint::colour(0xFFFFFF));
  if (view.respawnKey.empty())
    return;
  const std::string hint = "or press " + view.respawnKey;
  const ImVec2 hintSize = HudPaint::textSize(hint);
  HudPaint::text(list, ImVec2((display.x - hintSize.x) / 2, button.max.y + 8), hint,
                 HudPaint::colour(0xE0E0E0));
}

} // namespace

ButtonArea respawnButton(ImVec2 display) {
  const ImVec2 size(200, 36);
  const ImVec2 min((display.x - size.x) / 2, display.y / 2);
  return {min, ImVec2(min.x + size.x, min.y + size.y)};
}

void drawHealth(ImDrawList& list, const HealthView& view, ImVec2 display) {
  if (view.flash > 0)
    list.AddRectFilled(ImVec2(0, 0), display, HudPaint::colour(0xFF0000, 0.4f * view.flash));
  const ImVec2 bar = hotbarOrigin(display);
  const float top = bar.y - Symbol - 6;
  row(list, bar.x, top, view.health, [&](ImVec2 at, bool full) {
    heart(list, at, full ? HudPaint::colour(0xE02020) : HudPaint::colour(0x301010, 0.8f));
  });
  const float right = bar.x + hotbarSlotSize() * 9;
  row(list, right - Step * 9 - Symbol, top, view.food, [&](ImVec2 at, bool full) {
    shank(list, at, full ? HudPaint::colour(0xB0642A) : HudPaint::colour(0x302010, 0.8f),
          full ? HudPaint::colour(0xF0F0E0) : HudPaint::colour(0x404040, 0.8f));
  });
  if (view.dead)
    drawDeathScreen(list, view, display);
}
