#include <gtest/gtest.h>

#include "inventory/Inventory.h"

namespace {

ItemStack stack(int id, int count, int damage = 0) {
  return ItemStack::fromWire(std::int16_t(id), std::int8_t(count), std::int16_t(damage));
}

TEST(ItemStack, WhatTheServerSendsAsNothingIsAnEmptySlot) {
  const struct {
    int id, count;
    bool empty;
  } cases[] = {{-1, 0, true}, {-1, 5, true}, {-7, 3, true}, {1, 0, true},
               {1, -3, true}, {1, 1, false}, {300, 64, false}};
  for (const auto& c : cases)
    EXPECT_EQ(stack(c.id, c.count).empty(), c.empty) << c.id << " x " << c.count;
  EXPECT_EQ(stack(-1, 5), ItemStack{}) << "an empty slot forgets its count";
}

TEST(Inventory, WindowItemsFillThePlayersWindowAndItsHotbar) {
  Inventory inventory;
  std::vector<ItemStack> stacks(Inventory::PlayerSlots);
  stacks[36] = stack(1, 64);
  stacks[44] = stack(3, 5);
  stacks[20] = stack(276, 1, 12);
  ASSERT_TRUE(inventory.setItems(0, stacks));
  EXPECT_EQ(inventory.hotbar(0), stack(1, 64));
  EXPECT_EQ(inventory.hotbar(8), stack(3, 5));
  EXPECT_EQ(inventory.playerSlot(20), stack(276, 1, 12));
  EXPECT_EQ(inventory.heldStack(), stack(1, 64));

  ASSERT_TRUE(inventory.setSlot(0, 36, stack(4, 2)));
  EXPECT_EQ(inventory.hotbar(0), stack(4, 2));
  ASSERT_TRUE(inventory.setSlot(-1, -1, stack(5, 7)));
  EXPECT_EQ(inventory.cursor(), stack(5, 7));
}

// Numbers the window does not have change nothing; a list longer than the
// window keeps what fits.
TEST(Inventory, SlotsAndWindowsItDoesNotHaveChangeNothing) {
  Inventory inventory;
  const struct {
    int window, slot;
  } refused[] = {{0, 45}, {0, -1}, {0, 32767}, {3, 0}, {-1, 0}, {0, -999}};
  for (const auto& r : refused) {
    EXPECT_FALSE(inventory.setSlot(r.window, r.slot, stack(1, 1))) << r.window << "/" << r.slot;
  }
  for (int index = 0; index < Inventory::PlayerSlots; ++index)
    EXPECT_TRUE(inventory.playerSlot(index).empty()) << index;
  EXPECT_FALSE(inventory.setItems(5, {stack(1, 1)}));

  std::vector<ItemStack> tooMany(50, stack(2, 3));
  EXPECT_TRUE(inventory.setItems(0, tooMany));
  EXPECT_EQ(inventory.dropped(), 5u);
  EXPECT_EQ(inventory.hotbar(8), stack(2, 3));
}

TEST(Inventory, HeldSlotFollowsKeysAndTheWheelAroundTheBar) {
  Inventory inventory;
  EXPECT_EQ(inventory.held(), 0);
  EXPECT_FALSE(inventory.hold(0)) << "already held";
  EXPECT_FALSE(inventory.hold(9));
  EXPECT_FALSE(inventory.hold(-1));
  EXPECT_TRUE(inventory.hold(4));
  const struct {
    int steps, held;
  } wheel[] = {{1, 5}, {3, 8}, {1, 0}, {-1, 8}, {-9, 8}, {-10, 7}, {20, 0}};
  for (const auto& w : wheel) {
    const int before = inventory.held();
    EXPECT_EQ(inventory.scroll(w.steps), before != w.held) << w.steps;
    EXPECT_EQ(inventory.held(), w.held) << w.steps;
  }
}

TEST(Inventory, PlacingUsesOneOfTheHeldStack) {
  Inventory inventory;
  inventory.setSlot(0, 37, stack(1, 2));
  inventory.hold(1);
  inventory.useHeld();
  EXPECT_EQ(inventory.heldStack(), stack(1, 1));
  inventory.useHeld();
  EXPECT_TRUE(inventory.heldStack().empty());
  EXPECT_EQ(inventory.heldStack().itemId, -1) << "the last one leaves an empty slot";
  inventory.useHeld();
  EXPECT_TRUE(inventory.heldStack().empty());
}

// A chest of 27 slots shows the carried 36 below its own: what the server
// sets there is the player's main inventory and hotbar.
TEST(Inventory, AnOpenWindowSharesTheCarriedSlots) {
  Inventory inventory;
  ASSERT_TRUE(inventory.open(3, 0, "Chest", 27));
  EXPECT_EQ(inventory.activeWindow(), 3);
  EXPECT_EQ(inventory.slotCount(), 27 + 36);
  ASSERT_TRUE(inventory.setSlot(3, 0, stack(17, 10)));
  ASSERT_TRUE(inventory.setSlot(3, 27 + 27, stack(1, 9)));
  EXPECT_EQ(inventory.hotbar(0), stack(1, 9)) << "slot 54 of the chest is the hotbar's first";
  EXPECT_FALSE(inventory.setSlot(3, 63, stack(1, 1)));
  EXPECT_TRUE(inventory.setSlot(0, 36, stack(2, 2))) << "window 0 stays the player's";
  EXPECT_EQ(inventory.slot(54), stack(2, 2));

  inventory.close(4);
  EXPECT_TRUE(inventory.openWindow()) << "another window's close leaves it";
  inventory.close(3);
  EXPECT_FALSE(inventory.openWindow());
  EXPECT_EQ(inventory.activeWindow(), 0);
  EXPECT_EQ(inventory.hotbar(0), stack(2, 2));
  EXPECT_FALSE(inventory.setSlot(3, 0, stack(1, 1)));
}

TEST(Inventory, OpenWindowNumbersOutOfRangeAreRefused) {
  const struct {
    int id, slots;
    bool opens;
  } cases[] = {{1, 27, true}, {1, 0, true},   {127, 127, true}, {0, 9, false},
               {-3, 9, false}, {2, -1, false}, {2, 128, false}};
  for (const auto& c : cases) {
    Inventory inventory;
    EXPECT_EQ(inventory.open(c.id, 0, "", c.slots), c.opens) << c.id << "/" << c.slots;
    EXPECT_EQ(bool(inventory.openWindow()), c.opens);
  }
}

TEST(Inventory, FurnaceBarsMoveOnlyInTheOpenWindow) {
  Inventory inventory;
  EXPECT_FALSE(inventory.setProgress(2, 0, 100));
  inventory.open(2, 2, "Furnace", 3);
  EXPECT_TRUE(inventory.setProgress(2, 1, 150));
  EXPECT_TRUE(inventory.setProgress(2, 0, 80));
  EXPECT_FALSE(inventory.setProgress(2, 16, 1));
  EXPECT_FALSE(inventory.setProgress(2, -1, 1));
  EXPECT_FALSE(inventory.setProgress(5, 0, 1));
  EXPECT_EQ(inventory.openWindow()->progress, (std::vector<int>{80, 150}));
}

TEST(Inventory, ANewWorldEmptiesEverythingButTheHeldSlot) {
  Inventory inventory;
  inventory.setSlot(0, 40, stack(1, 1));
  inventory.setSlot(-1, -1, stack(1, 1));
  inventory.open(1, 0, "", 9);
  inventory.hold(3);
  inventory.click(0, false);
  inventory.clear();
  EXPECT_TRUE(inventory.hotbar(4).empty());
  EXPECT_TRUE(inventory.cursor().empty());
  EXPECT_FALSE(inventory.openWindow());
  EXPECT_EQ(inventory.pendingClicks(), 0u);
  EXPECT_EQ(inventory.held(), 3);
}

} // namespace
