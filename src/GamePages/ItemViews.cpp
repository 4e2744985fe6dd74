#include "GamePages/ItemViews.h"

#include "BlockLayers.h"
#include "TerrainMaterial.h"
#include "inventory/ItemCatalogue.h"

namespace GamePages {

SlotView slotView(const ItemStack& stack) {
  SlotView slot;
  if (stack.empty())
    return slot;
  slot.filled = true;
  slot.count = stack.count;
  if (stack.isBlock())
    slot.picture.blockImage =
        terrainLayerImage(layerOfBlockType(static_cast<unsigned char>(stack.itemId)));
  else
    slot.picture.itemCell = ItemCatalogue::pictureCell(stack.itemId);
  return slot;
}

std::string itemName(const ItemStack& stack) {
  const ItemEntry* entry = stack.empty() ? nullptr : ItemCatalogue::find(stack.itemId);
  return entry ? std::string(entry->name) : std::string();
}

} // namespace GamePages
