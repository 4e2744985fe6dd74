#ifndef ENTITIES_HELD_ITEM_H
#define ENTITIES_HELD_ITEM_H

// What a player's hand shows of the item it holds: nothing when the hand is
// empty (ids 0 and below), a small block in the block's terrain picture for
// the block ids (1 to 255), a flat square for every other item.

namespace Entities {

struct HeldItem {
  enum class Shape { Nothing, Block, Flat };
  Shape shape = Shape::Nothing;
  // The block type whose picture shows; 0 (the neutral picture) for items.
  unsigned char blockType = 0;
};

HeldItem heldItemOf(short itemId);

} // namespace Entities

#endif
