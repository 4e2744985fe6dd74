#include "world/BlockKinds.h"

#include <array>
#include <initializer_list>

namespace {

constexpr std::uint16_t ticks(double seconds) { return std::uint16_t(seconds * 20 + 0.5); }

struct Entry {
  std::uint8_t type;
  BlockKind kind;
  double digSeconds;
};

// Dig times by hand, in seconds. Blocks a hand cannot harvest well (rock,
// ores, bricks) take several times longer than their tools would.
constexpr Entry Known[] = {
    {0, BlockKind::Passable, 0},     // air
    {1, BlockKind::Solid, 7.5},      // stone
    {2, BlockKind::Solid, 0.9},      // grass
    {3, BlockKind::Solid, 0.75},     // dirt
    {4, BlockKind::Solid, 10},       // rock
    {5, BlockKind::Solid, 3},        // planks
    {6, BlockKind::Passable, 0},     // sapling
    {8, BlockKind::Water, 0},        // water
    {9, BlockKind::Water, 0},        // still water
    {10, BlockKind::Lava, 0},        // lava
    {11, BlockKind::Lava, 0},        // still lava
    {12, BlockKind::Solid, 0.75},    // sand
    {13, BlockKind::Solid, 0.9},     // gravel
    {14, BlockKind::Solid, 15},      // gold ore
    {15, BlockKind::Solid, 15},      // iron ore
    {16, BlockKind::Solid, 15},      // coal ore
    {17, BlockKind::Solid, 3},       // tree trunk
    {18, BlockKind::Solid, 0.35},    // leaves
    {19, BlockKind::Solid, 0.9},     // sponge
    {20, BlockKind::Solid, 0.45},    // glass
    {21, BlockKind::Solid, 15},      // lapis ore
    {22, BlockKind::Solid, 15},      // lapis block
    {23, BlockKind::Solid, 17.5},    // dispenser
    {24, BlockKind::Solid, 4},       // sandstone
    {25, BlockKind::Solid, 1.2},     // note block
    {26, BlockKind::Solid, 0.3},     // bed
    {27, BlockKind::Passable, 1.05}, // powered rail
    {28, BlockKind::Passable, 1.05}, // detector rail
    {29, BlockKind::Solid, 0.75},    // sticky piston
    {30, BlockKind::Passable, 20},   // cobweb
    {31, BlockKind::Passable, 0},    // tall grass
    {32, BlockKind::Passable, 0},    // dead bush
    {33, BlockKind::Solid, 0.75},    // piston
    {34, BlockKind::Solid, 0.75},    // piston head
    {35, BlockKind::Solid, 1.2},     // wool
    {37, BlockKind::Passable, 0},    // yellow flower
    {38, BlockKind::Passable, 0},    // red flower
    {39, BlockKind::Passable, 0},    // brown mushroom
    {40, BlockKind::Passable, 0},    // red mushroom
    {41, BlockKind::Solid, 15},      // gold block
    {42, BlockKind::Solid, 25},      // iron block
    {43, BlockKind::Solid, 10},      // double slab
    {44, BlockKind::Solid, 10},      // slab
    {45, BlockKind::Solid, 10},      // bricks
    {46, BlockKind::Solid, 0},       // explosive
    {47, BlockKind::Solid, 2.25},    // bookshelf
    {48, BlockKind::Solid, 10},      // mossy rock
    {49, BlockKind::Solid, 250},     // obsidian
    {50, BlockKind::Passable, 0},    // torch
    {51, BlockKind::Passable, 0},    // fire
    {52, BlockKind::Solid, 25},      // monster spawner
    {53, BlockKind::Solid, 3},       // wooden stairs
    {54, BlockKind::Solid, 3.75},    // chest
    {55, BlockKind::Passable, 0},    // redstone wire
    {56, BlockKind::Solid, 15},      // diamond ore
    {57, BlockKind::Solid, 25},      // diamond block
    {58, BlockKind::Solid, 3.75},    // workbench
    {59, BlockKind::Passable, 0},    // crops
    {60, BlockKind::Solid, 0.9},     // farmland
    {61, BlockKind::Solid, 17.5},    // furnace
    {62, BlockKind::Solid, 17.5},    // burning furnace
    {63, BlockKind::Passable, 1.5},  // sign post
    {64, BlockKind::Solid, 4.5},     // wooden door
    {65, BlockKind::Passable, 0.6},  // ladder
    {66, BlockKind::Passable, 1.05}, // rails
    {67, BlockKind::Solid, 10},      // rock stairs
    {68, BlockKind::Passable, 1.5},  // wall sign
    {69, BlockKind::Passable, 0.75}, // lever
    {70, BlockKind::Passable, 2.5},  // stone pressure plate
    {71, BlockKind::Solid, 25},      // iron door
    {72, BlockKind::Passable, 0.75}, // wooden pressure plate
    {73, BlockKind::Solid, 15},      // redstone ore
    {74, BlockKind::Solid, 15},      // glowing redstone ore
    {75, BlockKind::Passable, 0},    // redstone torch, off
    {76, BlockKind::Passable, 0},    // redstone torch, on
    {77, BlockKind::Passable, 0.75}, // button
    {78, BlockKind::Passable, 0.5},  // snow layer
    {79, BlockKind::Solid, 0.75},    // ice
    {80, BlockKind::Solid, 1},       // snow
    {81, BlockKind::Solid, 0.6},     // cactus
    {82, BlockKind::Solid, 0.9},     // clay
    {83, BlockKind::Passable, 0},    // reeds
    {84, BlockKind::Solid, 3},       // jukebox
    {85, BlockKind::Solid, 3},       // fence
    {86, BlockKind::Solid, 1.5},     // pumpkin
    {87, BlockKind::Solid, 2},       // netherrack
    {88, BlockKind::Solid, 0.75},    // soul sand
    {89, BlockKind::Solid, 0.45},    // glowstone
    {90, BlockKind::Passable, 0},    // portal
    {91, BlockKind::Solid, 1.5},     // lit pumpkin
    {92, BlockKind::Solid, 0.75},    // cake
    {93, BlockKind::Passable, 0},    // repeater, off
    {94, BlockKind::Passable, 0},    // repeater, on
    {95, BlockKind::Solid, 0},       // locked chest
    {96, BlockKind::Solid, 4.5},     // trapdoor
};

// Unknown types: solid, a second to dig.
const BlockInfo Unknown{BlockKind::Solid, ticks(1), false};

std::array<BlockInfo, 256> makeTable() {
  std::array<BlockInfo, 256> table;
  table.fill(Unknown);
  for (const Entry& entry : Known)
    table[entry.type] = {entry.kind, ticks(entry.digSeconds), false};
  table[7] = {BlockKind::Solid, 0, true}; // bedrock
  return table;
}

const std::array<BlockInfo, 256> Table = makeTable();

} // namespace

const BlockInfo& blockInfo(std::uint8_t blockType) { return Table[blockType]; }
