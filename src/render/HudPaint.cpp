#include "HudPaint.h"

#include <algorithm>

namespace HudPaint {

ImU32 colour(unsigned int rgb, float opacity) {
  return IM_COL32((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF,
                  static_cast<int>(std::clamp(opacity, 0.0f, 1.0f) * 255));
}

ImVec2 textSize(const std::string& text, float pixels) {
  return ImGui::GetFont()->CalcTextSizeA(pixels, 1e9f, 0, text.c_str(),
                                          text.c_str() + text.size());
}

void text(ImDrawList& list, ImVec2 at, const std::string& text, ImU32 ink, float pixels) {
  const char* begin = text.c_str();
  const char* end = begin + text.size();
  const ImU32 shadow = (ink & IM_COL32_A_MASK) | IM_COL32(0, 0, 0, 0);
  list.AddText(ImGui::GetFont(), pixels, ImVec2(at.x + 1, at.y + 1), shadow, begin, end);
  list.AddText(ImGui::GetFont(), pixels, at, ink, begin, end);
}

} // namespace HudPaint
