#include "BlockLayers.h"

#include <array>

namespace {

constexpr std::array<unsigned char, 256> makeLayerTable() {
  std::array<unsigned char, 256> table{};
  table[1] = 3;  // stone
  table[2] = 1;  // grass
  table[3] = 5;  // dirt
  table[4] = 3;  // rock
  table[7] = 3;  // bedrock
  table[8] = 4;  // water
  table[9] = 4;  // still water
  table[13] = 6; // gravel
  return table;
}

constexpr std::array<unsigned char, 256> LayerTable = makeLayerTable();

} // namespace

unsigned char layerOfBlockType(unsigned char blockType) { return LayerTable[blockType]; }
