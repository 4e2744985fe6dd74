#ifndef PLAYER_LIST_VIEW_H
#define PLAYER_LIST_VIEW_H

// The list of the server's players over the world: a box at the top middle
// of the screen, under the status line, with a row for each player, its
// name and its ping, in columns when they are many.

#include <cstddef>
#include <string>
#include <vector>

struct ImDrawList;
struct ImVec2;

struct PlayerListRow {
  // UTF-8.
  std::string name;
  // Milliseconds.
  int ping = 0;
};

// Rows per column, and the columns shown at most; players beyond them are
// counted in a last line.
constexpr std::size_t PlayerListRowsPerColumn = 20;
constexpr std::size_t PlayerListColumns = 4;

// Draws the list with the heads-up display's font.
void drawPlayerList(ImDrawList& list, const std::vector<PlayerListRow>& players, ImVec2 display);

#endif
