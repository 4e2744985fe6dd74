#include <gtest/gtest.h>

#include "inventory/Inventory.h"

namespace {

ItemStack stack(int id, int count, int damage = 0) {
  return ItemStack::fromWire(std::int16_t(id), std::int8_t(count), std::int16_t(damage));
}

const ItemStack None;
constexpr int Slot = 20;

// One click on a slot of the player's window: what lies in the slot and on
// the cursor before and after.
TEST(Clicks, PickUpPutDownPileAndSwap) {
  const struct {
    const char* what;
    ItemStack slot, cursor;
    bool right;
    ItemStack slotAfter, cursorAfter;
  } cases[] = {
      {"left picks the stack up", stack(1, 10), None, false, None, stack(1, 10)},
      {"right picks the larger half up", stack(1, 9), None, true, stack(1, 4), stack(1, 5)},
      {"right picks a single one up", stack(1, 1), None, true, None, stack(1, 1)},
      {"nothing on nothing", None, None, false, None, None},
      {"left puts the stack down", None, stack(3, 7), false, stack(3, 7), None},
      {"right puts one down", None, stack(3, 7), true, stack(3, 1), stack(3, 6)},
      {"right adds one to its kind", stack(3, 2), stack(3, 7), true, stack(3, 3), stack(3, 6)},
      {"left piles on its kind", stack(3, 20), stack(3, 7), false, stack(3, 27), None},
      {"a full pile takes what fits", stack(3, 60), stack(3, 7), false, stack(3, 64),
       stack(3, 3)},
      {"a full pile takes nothing", stack(3, 64), stack(3, 7), false, stack(3, 64), stack(3, 7)},
      {"another kind swaps", stack(1, 5), stack(3, 7), false, stack(3, 7), stack(1, 5)},
      {"another damage swaps", stack(35, 5, 1), stack(35, 7, 2), false, stack(35, 7, 2),
       stack(35, 5, 1)},
      {"right on another kind swaps", stack(1, 5), stack(3, 7), true, stack(3, 7), stack(1, 5)},
      {"tools do not pile", stack(278, 1), stack(278, 1), false, stack(278, 1), stack(278, 1)},
  };
  for (const auto& c : cases) {
    Inventory inventory;
    inventory.setSlot(0, Slot, c.slot);
    inventory.setSlot(-1, -1, c.cursor);
    const std::optional<Inventory::Click> click = inventory.click(Slot, c.right);
    ASSERT_TRUE(click) << c.what;
    EXPECT_EQ(click->item, c.slot) << c.what << ": the slot as it was";
    EXPECT_EQ(click->rightButton, c.right) << c.what;
    EXPECT_EQ(inventory.playerSlot(Slot), c.slotAfter) << c.what;
    EXPECT_EQ(inventory.cursor(), c.cursorAfter) << c.what;
  }
}

// The crafting result is taken, never put into; it joins the cursor's pile
// only whole.
TEST(Clicks, ResultSlotsAreTakenFromOnly) {
  const struct {
    ItemStack result, cursor, resultAfter, cursorAfter;
  } cases[] = {
      {stack(5, 4), None, None, stack(5, 4)},
      {stack(5, 4), stack(5, 10), None, stack(5, 14)},
      {stack(5, 4), stack(5, 62), stack(5, 4), stack(5, 62)},
      {None, stack(5, 10), None, stack(5, 10)},
      {stack(5, 4), stack(1, 10), stack(5, 4), stack(1, 10)},
  };
  for (const auto& c : cases) {
    Inventory inventory;
    inventory.setSlot(0, 0, c.result);
    inventory.setSlot(-1, -1, c.cursor);
    inventory.click(0, false);
    EXPECT_EQ(inventory.playerSlot(0), c.resultAfter);
    EXPECT_EQ(inventory.cursor(), c.cursorAfter);
  }
  Inventory furnace;
  furnace.open(4, 2, "Furnace", 3);
  furnace.setSlot(-1, -1, stack(4, 1));
  furnace.click(2, false);
  EXPECT_TRUE(furnace.slot(2).empty()) << "the furnace's output";
  furnace.click(0, false);
  EXPECT_EQ(furnace.slot(0), stack(4, 1)) << "its input";
}

TEST(Clicks, OutsideTheWindowThrowsTheCursorsStackOut) {
  Inventory inventory;
  inventory.setSlot(-1, -1, stack(3, 5));
  const auto right = inventory.click(Inventory::Outside, true);
  ASSERT_TRUE(right);
  EXPECT_EQ(right->slot, Inventory::Outside);
  EXPECT_TRUE(right->item.empty());
  EXPECT_EQ(inventory.cursor(), stack(3, 4));
  inventory.click(Inventory::Outside, false);
  EXPECT_TRUE(inventory.cursor().empty());
  EXPECT_FALSE(inventory.click(45, false)) << "no such slot: nothing is sent";
  EXPECT_FALSE(inventory.click(-1, false));
}

TEST(Clicks, ActionNumbersCountUpPerClickAndGoToTheActiveWindow) {
  Inventory inventory;
  std::vector<std::int16_t> actions;
  for (int i = 0; i < 3; ++i)
    actions.push_back(inventory.click(10 + i, false)->action);
  EXPECT_EQ(actions, (std::vector<std::int16_t>{1, 2, 3}));
  inventory.open(7, 0, "Chest", 27);
  const auto inChest = inventory.click(5, false);
  EXPECT_EQ(inChest->windowId, 7);
  EXPECT_EQ(inChest->action, 4);
}

TEST(Clicks, ActionNumbersStayPositiveAfterTheLargestShort) {
  Inventory inventory;
  std::int16_t last = 0;
  for (int i = 0; i < 32768; ++i)
    last = inventory.click(Inventory::Outside, false)->action;
  EXPECT_EQ(last, 1);
  EXPECT_LE(inventory.pendingClicks(), Inventory::MaxPendingClicks) << "memory stays bounded";
}

// Two clicks move a stack from slot 10 to slot 11; the server refuses the
// first: both are undone, the slots and the cursor as before.
TEST(Clicks, ARefusedClickIsUndoneWithTheClicksAfterIt) {
  Inventory inventory;
  inventory.setSlot(0, 10, stack(1, 30));
  inventory.setSlot(0, 11, stack(2, 4));
  const auto pick = inventory.click(10, false);
  const auto put = inventory.click(11, false);
  ASSERT_EQ(inventory.playerSlot(11), stack(1, 30));
  ASSERT_EQ(inventory.cursor(), stack(2, 4));

  EXPECT_FALSE(inventory.answer(0, 99, false)) << "an action never sent";
  EXPECT_FALSE(inventory.answer(3, pick->action, false)) << "another window's";
  EXPECT_TRUE(inventory.answer(0, pick->action, false));
  EXPECT_EQ(inventory.playerSlot(10), stack(1, 30));
  EXPECT_EQ(inventory.playerSlot(11), stack(2, 4));
  EXPECT_TRUE(inventory.cursor().empty());
  EXPECT_EQ(inventory.pendingClicks(), 0u);
  EXPECT_FALSE(inventory.answer(0, put->action, true)) << "undone with the first";
}

// An accepted click stays; a refusal of the one after it goes back only to
// the state between them.
TEST(Clicks, AcceptedClicksStayWhenALaterOneIsRefused) {
  Inventory inventory;
  inventory.setSlot(0, 10, stack(1, 30));
  const auto pick = inventory.click(10, false);
  const auto put = inventory.click(12, true);
  EXPECT_TRUE(inventory.answer(0, pick->action, true));
  EXPECT_EQ(inventory.pendingClicks(), 1u);
  EXPECT_TRUE(inventory.answer(0, put->action, false));
  EXPECT_TRUE(inventory.playerSlot(10).empty());
  EXPECT_TRUE(inventory.playerSlot(12).empty());
  EXPECT_EQ(inventory.cursor(), stack(1, 30));
}

TEST(Clicks, AClosedWindowsClicksAreForgotten) {
  Inventory inventory;
  inventory.open(2, 0, "Chest", 27);
  inventory.setSlot(2, 0, stack(1, 3));
  const auto pick = inventory.click(0, false);
  inventory.close();
  EXPECT_FALSE(inventory.answer(2, pick->action, false));
  EXPECT_EQ(inventory.cursor(), stack(1, 3)) << "the server decides what becomes of it";
}

} // namespace
