#include "inventory/ItemCatalogue.h"

#include <algorithm>
#include <iterator>

namespace {

using S = ItemShape;

constexpr std::uint32_t Wood = 0x8A6A3A;
constexpr std::uint32_t Stone = 0x8C8C8C;
constexpr std::uint32_t Iron = 0xD8D8D8;
constexpr std::uint32_t Gold = 0xF2D13C;
constexpr std::uint32_t Diamond = 0x5CE8E0;
constexpr std::uint32_t Leather = 0x9C5A32;

// Blocks first, then the items; the order of the items is the order of
// their pictures in the sheet.
const ItemEntry Entries[] = {
    {1, "Stone", S::Unknown, 0, 0},
    {2, "Grass", S::Unknown, 0, 0},
    {3, "Dirt", S::Unknown, 0, 0},
    {4, "Cobblestone", S::Unknown, 0, 0},
    {5, "Wooden Planks", S::Unknown, 0, 0},
    {6, "Sapling", S::Unknown, 0, 0},
    {7, "Bedrock", S::Unknown, 0, 0},
    {8, "Water", S::Unknown, 0, 0},
    {9, "Still Water", S::Unknown, 0, 0},
    {10, "Lava", S::Unknown, 0, 0},
    {11, "Still Lava", S::Unknown, 0, 0},
    {12, "Sand", S::Unknown, 0, 0},
    {13, "Gravel", S::Unknown, 0, 0},
    {14, "Gold Ore", S::Unknown, 0, 0},
    {15, "Iron Ore", S::Unknown, 0, 0},
    {16, "Coal Ore", S::Unknown, 0, 0},
    {17, "Wood", S::Unknown, 0, 0},
    {18, "Leaves", S::Unknown, 0, 0},
    {20, "Glass", S::Unknown, 0, 0},
    {21, "Lapis Ore", S::Unknown, 0, 0},
    {24, "Sandstone", S::Unknown, 0, 0},
    {35, "Wool", S::Unknown, 0, 0},
    {41, "Gold Block", S::Unknown, 0, 0},
    {42, "Iron Block", S::Unknown, 0, 0},
    {44, "Slab", S::Unknown, 0, 0},
    {45, "Bricks", S::Unknown, 0, 0},
    {47, "Bookshelf", S::Unknown, 0, 0},
    {48, "Mossy Cobblestone", S::Unknown, 0, 0},
    {49, "Obsidian", S::Unknown, 0, 0},
    {50, "Torch", S::Unknown, 0, 0},
    {54, "Chest", S::Unknown, 0, 0},
    {56, "Diamond Ore", S::Unknown, 0, 0},
    {57, "Diamond Block", S::Unknown, 0, 0},
    {58, "Workbench", S::Unknown, 0, 0},
    {61, "Furnace", S::Unknown, 0, 0},
    {73, "Redstone Ore", S::Unknown, 0, 0},
    {78, "Snow", S::Unknown, 0, 0},
    {79, "Ice", S::Unknown, 0, 0},
    {80, "Snow Block", S::Unknown, 0, 0},
    {82, "Clay", S::Unknown, 0, 0},
    {87, "Netherrack", S::Unknown, 0, 0},
    {256, "Iron Shovel", S::Shovel, Iron, Wood},
    {257, "Iron Pickaxe", S::Pickaxe, Iron, Wood},
    {258, "Iron Axe", S::Axe, Iron, Wood},
    {261, "Bow", S::Bow, Wood, 0xEEEEEE},
    {262, "Arrow", S::Arrow, 0xDDDDDD, Wood},
    {263, "Coal", S::Lump, 0x262626, 0x4A4A4A},
    {264, "Diamond", S::Gem, Diamond, 0xFFFFFF},
    {265, "Iron Ingot", S::Ingot, Iron, 0xA0A0A0},
    {266, "Gold Ingot", S::Ingot, Gold, 0xB89A20},
    {267, "Iron Sword", S::Sword, Iron, Wood},
    {268, "Wooden Sword", S::Sword, Wood, 0x5A4020},
    {269, "Wooden Shovel", S::Shovel, Wood, 0x5A4020},
    {270, "Wooden Pickaxe", S::Pickaxe, Wood, 0x5A4020},
    {271, "Wooden Axe", S::Axe, Wood, 0x5A4020},
    {272, "Stone Sword", S::Sword, Stone, Wood},
    {273, "Stone Shovel", S::Shovel, Stone, Wood},
    {274, "Stone Pickaxe", S::Pickaxe, Stone, Wood},
    {275, "Stone Axe", S::Axe, Stone, Wood},
    {276, "Diamond Sword", S::Sword, Diamond, Wood},
    {277, "Diamond Shovel", S::Shovel, Diamond, Wood},
    {278, "Diamond Pickaxe", S::Pickaxe, Diamond, Wood},
    {279, "Diamond Axe", S::Axe, Diamond, Wood},
    {280, "Stick", S::Stick, Wood, 0x5A4020},
    {283, "Gold Sword", S::Sword, Gold, Wood},
    {284, "Gold Shovel", S::Shovel, Gold, Wood},
    {285, "Gold Pickaxe", S::Pickaxe, Gold, Wood},
    {286, "Gold Axe", S::Axe, Gold, Wood},
    {287, "String", S::Dust, 0xF0F0F0, 0xC0C0C0},
    {288, "Feather", S::Arrow, 0xFFFFFF, 0xC8C8C8},
    {289, "Gunpowder", S::Dust, 0x5A5A5A, 0x3A3A3A},
    {290, "Wooden Hoe", S::Hoe, Wood, 0x5A4020},
    {291, "Stone Hoe", S::Hoe, Stone, Wood},
    {292, "Iron Hoe", S::Hoe, Iron, Wood},
    {293, "Diamond Hoe", S::Hoe, Diamond, Wood},
    {294, "Gold Hoe", S::Hoe, Gold, Wood},
    {295, "Seeds", S::Dust, 0x4C8C2C, 0x2C5C1C},
    {296, "Wheat", S::Stick, 0xD8C050, 0xA89030},
    {297, "Bread", S::Food, 0xC08A40, 0x8A5A20},
    {298, "Leather Cap", S::Armour, Leather, 0x6A3A1A},
    {299, "Leather Tunic", S::Armour, Leather, 0x6A3A1A},
    {306, "Iron Helmet", S::Armour, Iron, 0xA0A0A0},
    {307, "Iron Chestplate", S::Armour, Iron, 0xA0A0A0},
    {318, "Flint", S::Lump, 0x3A3A3A, 0x6A6A6A},
    {319, "Raw Porkchop", S::Food, 0xF0A0A0, 0xD07070},
    {320, "Cooked Porkchop", S::Food, 0xC0805A, 0x8A4A2A},
    {325, "Bucket", S::Bucket, Iron, 0x707070},
    {326, "Water Bucket", S::Bucket, Iron, 0x3050E0},
    {327, "Lava Bucket", S::Bucket, Iron, 0xE05010},
    {331, "Redstone", S::Dust, 0xE01010, 0x800000},
    {332, "Snowball", S::Lump, 0xFFFFFF, 0xD8E8F0},
    {334, "Leather", S::Sheet, Leather, 0x6A3A1A},
    {336, "Clay Brick", S::Ingot, 0xB05A3A, 0x803A20},
    {337, "Clay", S::Lump, 0xA0A8B8, 0x808898},
    {339, "Paper", S::Sheet, 0xF8F8F0, 0xD0D0C8},
    {340, "Book", S::Sheet, 0x8A3A1A, 0xF0F0E0},
    {341, "Slimeball", S::Lump, 0x70D060, 0x40A030},
    {344, "Egg", S::Lump, 0xF0E8D0, 0xD0C0A0},
    {348, "Glowstone Dust", S::Dust, 0xF0E070, 0xB0A040},
    {349, "Raw Fish", S::Food, 0x90A8C0, 0x607890},
    {350, "Cooked Fish", S::Food, 0xD0A070, 0x906040},
    {351, "Dye", S::Dust, 0x303080, 0x101050},
    {352, "Bone", S::Stick, 0xF0F0E8, 0xC8C8C0},
    {353, "Sugar", S::Dust, 0xFFFFFF, 0xE0E0E0},
    {357, "Cookie", S::Food, 0xD09050, 0x603010},
    {260, "Apple", S::Food, 0xE02020, 0x60A020},
};

} // namespace

const ItemEntry* ItemCatalogue::begin() { return std::begin(Entries); }

const ItemEntry* ItemCatalogue::end() { return std::end(Entries); }

const ItemEntry* ItemCatalogue::find(std::int16_t itemId) {
  for (const ItemEntry& entry : Entries)
    if (entry.itemId == itemId)
      return &entry;
  return nullptr;
}

int ItemCatalogue::pictureCell(std::int16_t itemId) {
  int cell = 1;
  for (const ItemEntry& entry : Entries) {
    if (entry.shape == ItemShape::Unknown)
      continue;
    if (entry.itemId == itemId)
      return cell;
    ++cell;
  }
  return 0;
}

int ItemCatalogue::pictureCells() {
  return 1 + static_cast<int>(std::count_if(std::begin(Entries), std::end(Entries), [](const ItemEntry& e) {
           return e.shape != ItemShape::Unknown;
         }));
}
