#include <gtest/gtest.h>

#include "server/PlayerItems.h"

namespace {

using Result = Server::PlayerItems::ClickResult;

constexpr int Hotbar = Inventory::HotbarFirst;

// Fills every empty carried slot with a full stack of `item`.
void fillEmpty(Server::PlayerItems& items, std::int16_t item) {
  for (int slot = Inventory::MainFirst; slot < Inventory::PlayerSlots; ++slot)
    if (items.slot(slot).empty()) {
      for (int i = 0; i < 64; ++i)
        items.add(item);
    }
}

} // namespace

TEST(PlayerItems, TheHeldSlotIsOneOfTheHotbar) {
  Server::PlayerItems items;
  EXPECT_EQ(items.heldSlot(), Hotbar);
  EXPECT_TRUE(items.hold(8));
  EXPECT_EQ(items.heldSlot(), Hotbar + 8);
  EXPECT_TRUE(items.hold(8));
  for (int wrong : {-1, 9, 36, 32767})
    EXPECT_FALSE(items.hold(wrong)) << wrong;
  EXPECT_EQ(items.held(), 8);
}

TEST(PlayerItems, UsingTheHeldStackEmptiesItAtLast) {
  Server::PlayerItems items;
  items.hold(2);
  for (int used = 0; used < 63; ++used)
    items.useHeld();
  EXPECT_EQ(items.heldStack(), (ItemStack{5, 1, 0}));
  items.useHeld();
  EXPECT_TRUE(items.heldStack().empty());
  items.useHeld();
  EXPECT_TRUE(items.heldStack().empty());
}

// A picked-up item piles on the first stack of its kind with room, the
// hotbar before the main inventory, else goes into the first empty slot;
// with no room it is lost.
TEST(PlayerItems, PickedUpItemsPileThenFillEmptySlots) {
  Server::PlayerItems items;
  // Every starter stack is full: a stone goes into the empty hotbar slot.
  EXPECT_EQ(items.add(1), Hotbar + 8);
  EXPECT_EQ(items.add(1), Hotbar + 8);
  EXPECT_EQ(items.slot(Hotbar + 8), (ItemStack{1, 2, 0}));
  // The hotbar is full now: a new kind goes into the main inventory.
  EXPECT_EQ(items.add(2), Inventory::MainFirst);
  // A stack with room in the hotbar comes before the main inventory's.
  items.hold(0);
  items.useHeld();
  EXPECT_EQ(items.add(1), Hotbar);
  EXPECT_EQ(items.slot(Hotbar).count, 64);

  fillEmpty(items, 13);
  EXPECT_EQ(items.add(13), std::nullopt);
  EXPECT_EQ(items.add(2), Inventory::MainFirst);
  const auto before = items.slots();
  EXPECT_EQ(items.add(56), std::nullopt);
  EXPECT_EQ(items.slots(), before);
}

// Clicks change the window as the client's do, when the client saw the
// slot as it is.
TEST(PlayerItems, ClicksApplyWhenTheClientSawTheSlot) {
  Server::PlayerItems items;
  EXPECT_EQ(items.click(Hotbar, true, false, {1, 64, 0}), Result::Applied);
  EXPECT_EQ(items.cursor(), (ItemStack{1, 32, 0}));
  EXPECT_EQ(items.slot(Hotbar), (ItemStack{1, 32, 0}));
  EXPECT_EQ(items.click(Hotbar + 8, true, false, {}), Result::Applied);
  EXPECT_EQ(items.slot(Hotbar + 8), (ItemStack{1, 1, 0}));
  // Result slot 0 takes nothing.
  EXPECT_EQ(items.click(0, false, false, {}), Result::Applied);
  EXPECT_TRUE(items.slot(0).empty());
  EXPECT_EQ(items.click(Inventory::Outside, true, false, {}), Result::Applied);
  EXPECT_EQ(items.cursor(), (ItemStack{1, 30, 0}));
  EXPECT_EQ(items.click(Inventory::Outside, false, false, {}), Result::Applied);
  EXPECT_TRUE(items.cursor().empty());
}

TEST(PlayerItems, ClicksThatDoNotSeeTheSlotChangeNothing) {
  const struct {
    const char* what;
    int slot;
    bool shift;
    ItemStack seen;
    Result result;
  } clicks[] = {
      {"fewer than there are", Hotbar, false, {1, 63, 0}, Result::Mismatch},
      {"another kind", Hotbar, false, {3, 64, 0}, Result::Mismatch},
      {"another damage", Hotbar, false, {1, 64, 2}, Result::Mismatch},
      {"an empty slot", Hotbar, false, {}, Result::Mismatch},
      {"something in an empty slot", Hotbar + 8, false, {1, 1, 0}, Result::Mismatch},
      {"something outside", Inventory::Outside, false, {1, 1, 0}, Result::Mismatch},
      {"shifted", Hotbar, true, {1, 64, 0}, Result::Shifted},
      {"a slot beyond the window", 45, false, {}, Result::NoSuchSlot},
      {"a negative slot", -1, false, {}, Result::NoSuchSlot},
  };
  for (const auto& click : clicks) {
    Server::PlayerItems items;
    const auto before = items.slots();
    EXPECT_EQ(items.click(click.slot, false, click.shift, click.seen), click.result) << click.what;
    EXPECT_EQ(items.slots(), before) << click.what;
    EXPECT_TRUE(items.cursor().empty()) << click.what;
  }
}

// Closing the window puts the cursor's stack back as picked-up items go;
// what finds no room is counted as lost.
TEST(PlayerItems, ClosingPutsTheCursorsStackBack) {
  Server::PlayerItems items;
  ASSERT_EQ(items.click(Hotbar, true, false, {1, 64, 0}), Result::Applied);
  EXPECT_EQ(items.putBackCursor(), 0);
  EXPECT_TRUE(items.cursor().empty());
  EXPECT_EQ(items.slot(Hotbar), (ItemStack{1, 64, 0}));
  EXPECT_EQ(items.putBackCursor(), 0) << "nothing on the cursor";

  ASSERT_EQ(items.click(Hotbar, false, false, {1, 64, 0}), Result::Applied);
  while (items.add(3)) {
  }
  EXPECT_EQ(items.putBackCursor(), 64);
  EXPECT_TRUE(items.cursor().empty());
  EXPECT_EQ(items.slot(Hotbar), (ItemStack{3, 64, 0}));
}

TEST(PlayerItems, StacksAreWrittenForTheLog) {
  EXPECT_EQ(Server::stackText({}), "nothing");
  EXPECT_EQ(Server::stackText({1, 64, 0}), "64 of 1");
  EXPECT_EQ(Server::stackText({17, 3, 2}), "3 of 17:2");
}
