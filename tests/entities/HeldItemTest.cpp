// What a player's hand shows of the item id the server says it holds.

#include <gtest/gtest.h>

#include "Entities/HeldItem.h"

namespace {

using Entities::HeldItem;

TEST(HeldItem, BlocksShowTheirPictureOtherItemsAFlatSquare) {
  const struct {
    short itemId;
    HeldItem::Shape shape;
    unsigned char blockType;
  } cases[] = {
      {0, HeldItem::Shape::Nothing, 0},     {-1, HeldItem::Shape::Nothing, 0},
      {-32768, HeldItem::Shape::Nothing, 0}, {1, HeldItem::Shape::Block, 1},
      {8, HeldItem::Shape::Block, 8},       {255, HeldItem::Shape::Block, 255},
      {256, HeldItem::Shape::Flat, 0},      {277, HeldItem::Shape::Flat, 0},
      {32767, HeldItem::Shape::Flat, 0},
  };
  for (const auto& c : cases) {
    const HeldItem held = Entities::heldItemOf(c.itemId);
    EXPECT_EQ(held.shape, c.shape) << c.itemId;
    EXPECT_EQ(held.blockType, c.blockType) << c.itemId;
  }
}

} // namespace
