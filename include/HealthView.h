#ifndef HEALTH_VIEW_H
#define HEALTH_VIEW_H

// The player's health on the heads-up display: ten hearts and ten food
// shanks above the hotbar, a red flash over the screen after a loss, and
// at 0 the death screen with its respawn button.

#include <string>

#include <imgui.h>

struct HealthView {
  // Half hearts and half shanks, 20 full.
  int health = 20;
  int food = 20;
  // 0 (none) to 1.
  float flash = 0;
  bool dead = false;
  // What the death screen names as the respawn key.
  std::string respawnKey;
};

// The death screen's respawn button on a display of that size.
struct ButtonArea {
  ImVec2 min, max;
  bool contains(ImVec2 point) const {
    return point.x >= min.x && point.x < max.x && point.y >= min.y && point.y < max.y;
  }
};
ButtonArea respawnButton(ImVec2 display);

void drawHealth(ImDrawList& list, const HealthView& view, ImVec2 display);

#endif
