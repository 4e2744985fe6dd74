#ifndef INVENTORY_ITEM_CATALOGUE_H
#define INVENTORY_ITEM_CATALOGUE_H

// The items the client knows by name, and how the picture of an item that
// is not a block is drawn: a shape in two colours. The media generator
// paints one picture per entry into the item sheet, in this order after the
// picture of an unknown item; the heads-up display shows them.

#include <cstdint>
#include <optional>
#include <string_view>

enum class ItemShape : std::uint8_t {
  Unknown,
  Pickaxe,
  Shovel,
  Axe,
  Sword,
  Hoe,
  Stick,
  Ingot,
  Gem,
  Lump,
  Dust,
  Bucket,
  Food,
  Sheet,
  Bow,
  Arrow,
  Armour,
};

struct ItemEntry {
  std::int16_t itemId;
  std::string_view name;
  ItemShape shape;
  // 0xRRGGBB: the shape's main part (a tool's head) and its second (the
  // handle).
  std::uint32_t colour;
  std::uint32_t secondColour;
};

struct ItemCatalogue {
  // Every entry, blocks first.
  static const ItemEntry* begin();
  static const ItemEntry* end();
  // The entry of an item id; none for an item the client does not know.
  static const ItemEntry* find(std::int16_t itemId);
  // The item's cell in the item sheet: 0 for an unknown item, else the
  // entry's place among the entries that are not blocks, from 1.
  static int pictureCell(std::int16_t itemId);
  // Cells of the sheet, the unknown item's included.
  static int pictureCells();
};

#endif
