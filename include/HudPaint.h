#ifndef HUD_PAINT_H
#define HUD_PAINT_H

// Drawing helpers of the heads-up display's views: colours and text with a
// shadow in the display's font.

#include <string>

#include <imgui.h>

namespace HudPaint {

constexpr float FontPixels = 16;

ImU32 colour(unsigned int rgb, float opacity = 1);
ImVec2 textSize(const std::string& text, float pixels = FontPixels);
// Text with a dark shadow, readable over a bright sky as over dark ground.
void text(ImDrawList& list, ImVec2 at, const std::string& text, ImU32 ink,
          float pixels = FontPixels);

} // namespace HudPaint

#endif
