#ifndef WORLD_BLOCK_KINDS_H
#define WORLD_BLOCK_KINDS_H

// What each block type is to a player: something that stops them, a fluid
// they wade and swim in, or something they pass through (air, plants,
// torches, rails, snow layers, ...), and how many ticks digging it by hand
// takes. Drawing does not read this: every type but air is drawn.

#include <cstdint>

enum class BlockKind : std::uint8_t { Passable, Solid, Water, Lava };

struct BlockInfo {
  BlockKind kind = BlockKind::Solid;
  // Ticks of digging by hand until the block breaks; 0 breaks at once.
  std::uint16_t digTicks = 0;
  // Nothing breaks it (the world's floor).
  bool unbreakable = false;
};

// Types the client does not know count as solid blocks that take a second
// to dig: a player never walks into something the server has put there.
const BlockInfo& blockInfo(std::uint8_t blockType);

inline bool isSolid(std::uint8_t blockType) {
  return blockInfo(blockType).kind == BlockKind::Solid;
}
inline bool isFluid(std::uint8_t blockType) {
  const BlockKind kind = blockInfo(blockType).kind;
  return kind == BlockKind::Water || kind == BlockKind::Lava;
}

#endif
