#ifndef ITEM_PICTURES_H
#define ITEM_PICTURES_H

// The pictures of items on the heads-up display: a block item shows its
// block's terrain picture, any other item its cell of the generated item
// sheet "items.tga". Textures are made on first use and kept for the run; a
// picture that cannot be loaded shows as a grey square.

#include <map>
#include <string>

#include <imgui.h>

// Which picture an item shows.
struct ItemPicture {
  // The terrain picture's file, for a block; empty for any other item.
  std::string blockImage;
  // The cell of the item sheet otherwise (0: the unknown item's).
  int itemCell = 0;
};

class ItemPictures {
public:
  // Draws the picture into the rectangle.
  void draw(ImDrawList& list, const ItemPicture& picture, ImVec2 min, ImVec2 max);

private:
  ImTextureID blockTexture(const std::string& image);
  ImTextureID itemSheet();

  std::map<std::string, ImTextureID> m_blocks;
  bool m_sheetTried = false;
  ImTextureID m_sheet = nullptr;
  ImVec2 m_sheetCells{1, 1};
};

#endif
