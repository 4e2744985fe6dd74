#include "ItemPictures.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include <OgreImage.h>
#include <OgreResourceGroupManager.h>
#include <OgreTextureManager.h>

// The overlay binds a draw command's texture by its resource handle.

namespace {

const char* const ItemSheet = "items.tga";
constexpr Ogre::uint32 BlockPictureSize = 32;
constexpr float SheetCell = 32;

const Ogre::String& group() { return Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME; }

ImTextureID handleOf(const Ogre::TexturePtr& texture) {
  return reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(texture->getHandle()));
}

// A picture that cannot be loaded is said once and drawn as a plain grey
// square from then on: the display goes on.
ImTextureID missing(const std::string& file, const Ogre::Exception& error) {
  std::cerr << "cannot show the item picture " << file << ": " << error.getDescription()
            << std::endl;
  return nullptr;
}

void drawMissing(ImDrawList& list, ImVec2 min, ImVec2 max) {
  list.AddRectFilled(min, max, IM_COL32(150, 150, 150, 255));
}

} // namespace

// The terrain pictures are large and tile; a slot shows the whole picture
// scaled down.
ImTextureID ItemPictures::blockTexture(const std::string& image) {
  const auto known = m_blocks.find(image);
  if (known != m_blocks.end())
    return known->second;
  try {
    Ogre::Image picture;
    picture.load(image, group());
    picture.resize(BlockPictureSize, BlockPictureSize);
    const Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().loadImage(
        "item picture " + image, group(), picture, Ogre::TEX_TYPE_2D, 0);
    return m_blocks[image] = handleOf(texture);
  } catch (const Ogre::Exception& error) {
    return m_blocks[image] = missing(image, error);
  }
}

ImTextureID ItemPictures::itemSheet() {
  if (m_sheetTried)
    return m_sheet;
  m_sheetTried = true;
  try {
    const Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().load(
        ItemSheet, group(), Ogre::TEX_TYPE_2D, 0);
    m_sheetCells = ImVec2(float(texture->getWidth()) / SheetCell,
                          float(texture->getHeight()) / SheetCell);
    m_sheet = handleOf(texture);
  } catch (const Ogre::Exception& error) {
    m_sheet = missing(ItemSheet, error);
  }
  return m_sheet;
}

void ItemPictures::draw(ImDrawList& list, const ItemPicture& picture, ImVec2 min, ImVec2 max) {
  if (!picture.blockImage.empty()) {
    if (const ImTextureID texture = blockTexture(picture.blockImage))
      list.AddImage(texture, min, max);
    else
      drawMissing(list, min, max);
    return;
  }
  const ImTextureID sheet = itemSheet();
  if (!sheet || m_sheetCells.x < 1 || m_sheetCells.y < 1) {
    drawMissing(list, min, max);
    return;
  }
  const int columns = static_cast<int>(m_sheetCells.x);
  const float column = float(picture.itemCell % columns);
  const float row = float(picture.itemCell / columns);
  list.AddImage(sheet, min, max, ImVec2(column / m_sheetCells.x, row / m_sheetCells.y),
                ImVec2((column + 1) / m_sheetCells.x, (row + 1) / m_sheetCells.y));
}
