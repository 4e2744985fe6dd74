#include "PlayerListView.h"

#include <algorithm>

#include <imgui.h>

namespace {

// The heads-up display's font size and spacing.
const float FontPixels = 16;
const float RowHeight = FontPixels + 3;
const float Padding = 8;
// Under the status line.
const float Top = 40;
const float NameWidth = 150;
const float PingWidth = 56;
const float ColumnGap = 16;

const ImU32 Ink = IM_COL32(255, 255, 255, 255);
const ImU32 Faint = IM_COL32(200, 200, 200, 255);
const ImU32 Backdrop = IM_COL32(0, 0, 0, 150);

ImVec2 textSize(const std::string& text) {
  return ImGui::GetFont()->CalcTextSizeA(FontPixels, 1e9f, 0, text.c_str(),
                                          text.c_str() + text.size());
}

// Text cut off at the right edge of its room.
void drawText(ImDrawList& list, ImVec2 at, const std::string& text, ImU32 ink, float width) {
  const ImVec4 clip(at.x, at.y, at.x + width, at.y + RowHeight);
  list.AddText(ImGui::GetFont(), FontPixels, at, ink, text.c_str(), text.c_str() + text.size(),
               0, &clip);
}

void drawRow(ImDrawList& list, ImVec2 at, const PlayerListRow& row) {
  drawText(list, at, row.name, Ink, NameWidth);
  const std::string ping = std::to_string(row.ping) + " ms";
  const float pingX = at.x + NameWidth + PingWidth - textSize(ping).x;
  drawText(list, ImVec2(pingX, at.y), ping, Faint, PingWidth);
}

} // namespace

void drawPlayerList(ImDrawList& list, const std::vector<PlayerListRow>& players, ImVec2 display) {
  const std::size_t shown =
      std::min(players.size(), PlayerListRowsPerColumn * PlayerListColumns);
  const std::size_t columns =
      std::max<std::size_t>(1, (shown + PlayerListRowsPerColumn - 1) / PlayerListRowsPerColumn);
  const std::size_t rows = std::min(shown, PlayerListRowsPerColumn);
  const bool more = shown < players.size();
  const std::string title = "Players online: " + std::to_string(players.size());

  const float columnWidth = NameWidth + PingWidth;
  const float width = std::max(textSize(title).x, columns * columnWidth + (columns - 1) * ColumnGap);
  const float height = RowHeight * (1 + rows + (more ? 1 : 0));
  const ImVec2 at((display.x - width) / 2, Top);
  list.AddRectFilled(ImVec2(at.x - Padding, at.y - Padding),
                     ImVec2(at.x + width + Padding, at.y + height + Padding), Backdrop);
  list.AddText(ImGui::GetFont(), FontPixels, ImVec2((display.x - textSize(title).x) / 2, at.y),
               Ink, title.c_str(), title.c_str() + title.size());
  for (std::size_t i = 0; i < shown; ++i) {
    const std::size_t column = i / PlayerListRowsPerColumn;
    const std::size_t row = i % PlayerListRowsPerColumn;
    drawRow(list,
            ImVec2(at.x + column * (columnWidth + ColumnGap), at.y + RowHeight * (1 + row)),
            players[i]);
  }
  if (more) {
    const std::string rest = "and " + std::to_string(players.size() - shown) + " more";
    list.AddText(ImGui::GetFont(), FontPixels, ImVec2(at.x, at.y + RowHeight * (1 + rows)), Faint,
                 rest.c_str(), rest.c_str() + rest.size());
  }
}
