#ifndef INVENTORY_ITEM_STACK_H
#define INVENTORY_ITEM_STACK_H

// A stack of one kind of item in a slot, as the protocol carries it: the
// item id (block types are the ids 1 to 255, other items above), how many,
// and the damage (a tool's wear, or the variant of an item). The id -1 is
// the protocol's "no item".

#include <cstdint>

struct ItemStack {
  std::int16_t itemId = -1;
  std::int8_t count = 0;
  std::int16_t damage = 0;

  // What a server sends as a stack: an id below 0 or a count below 1 is an
  // empty slot.
  static ItemStack fromWire(std::int16_t itemId, std::int8_t count, std::int16_t damage);

  bool empty() const { return itemId < 0 || count < 1; }
  // Stacks of the same item and damage go on one pile.
  bool sameKind(const ItemStack& other) const {
    return itemId == other.itemId && damage == other.damage;
  }
  // Ids 1 to 255 are blocks that can be placed.
  bool isBlock() const { return !empty() && itemId > 0 && itemId < 256; }

  friend bool operator==(const ItemStack& a, const ItemStack& b) {
    return a.itemId == b.itemId && a.count == b.count && a.damage == b.damage;
  }
  friend bool operator!=(const ItemStack& a, const ItemStack& b) { return !(a == b); }
};

// How many of the item one slot holds: tools, weapons, armour and a few
// others one each, everything else 64.
int maxStackSize(std::int16_t itemId);

#endif
