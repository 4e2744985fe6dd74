#include "BlockLayers.h"

#include <array>

namespace {

// Layers of the terrain texture, in the order of its image list.
enum Layer : unsigned char {
  Neutral = 0,
  Grass = 1,
  Snow = 2,
  Stone = 3,
  Water = 4,
  Dirt = 5,
  Gravel = 6,
  Sand = 7,
  Sandstone = 8,
  Bark = 9,
  Leaves = 10,
  Ice = 11,
  Clay = 12,
  CoalOre = 13,
  IronOre = 14,
  GoldOre = 15,
  DiamondOre = 16,
  RedstoneOre = 17,
  LapisOre = 18,
  Lava = 19,
  Planks = 20,
  Obsidian = 21,
  Netherrack = 22,
  Brick = 23,
};

constexpr std::array<unsigned char, 256> makeLayerTable() {
  std::array<unsigned char, 256> table{};
  table[1] = Stone;
  table[2] = Grass;
  table[3] = Dirt;
  table[4] = Stone; // rock
  table[5] = Planks;
  table[7] = Stone; // bedrock
  table[8] = Water;
  table[9] = Water; // still water
  table[10] = Lava;
  table[11] = Lava; // still lava
  table[12] = Sand;
  table[13] = Gravel;
  table[14] = GoldOre;
  table[15] = IronOre;
  table[16] = CoalOre;
  table[17] = Bark; // tree trunks
  table[18] = Leaves;
  table[21] = LapisOre;
  table[24] = Sandstone;
  table[31] = Grass; // tall grass
  table[43] = Stone; // double slab
  table[44] = Stone; // slab
  table[45] = Brick;
  table[48] = Stone; // mossy rock
  table[49] = Obsidian;
  table[53] = Planks; // wooden stairs
  table[56] = DiamondOre;
  table[60] = Dirt; // farmland
  table[67] = Stone; // rock stairs
  table[73] = RedstoneOre;
  table[74] = RedstoneOre; // glowing
  table[78] = Snow; // snow cover
  table[79] = Ice;
  table[80] = Snow;
  table[81] = Leaves; // cactus
  table[82] = Clay;
  table[83] = Grass; // reeds
  table[87] = Netherrack;
  table[88] = Dirt; // soul sand
  return table;
}

constexpr std::array<unsigned char, 256> LayerTable = makeLayerTable();

} // namespace

unsigned char layerOfBlockType(unsigned char blockType) { return LayerTable[blockType]; }
