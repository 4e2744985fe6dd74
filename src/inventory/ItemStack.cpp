#include "inventory/ItemStack.h"

ItemStack ItemStack::fromWire(std::int16_t itemId, std::int8_t count, std::int16_t damage) {
  if (itemId < 0 || count < 1)
    return ItemStack{};
  return ItemStack{itemId, count, damage};
}

// The ranges of items that do not pile: tools and weapons, armour, vehicles,
// doors, buckets of something, beds and the like.
int maxStackSize(std::int16_t itemId) {
  static const struct {
    std::int16_t first, last;
  } single[] = {{256, 259}, {261, 261}, {267, 279}, {282, 286}, {290, 294}, {298, 317},
                {323, 330}, {333, 333}, {335, 335}, {342, 343}, {346, 346}, {354, 355},
                {358, 359}, {2256, 2266}};
  for (const auto& range : single)
    if (itemId >= range.first && itemId <= range.last)
      return 1;
  return 64;
}
