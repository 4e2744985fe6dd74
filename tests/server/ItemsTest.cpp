#include <gtest/gtest.h>

#include "ColumnWatcher.h"
#include "PlayerActions.h"
#include "RunningServer.h"

// The players' items as the server keeps them: the starter hotbar, places
// that use it up, digs that fill it and clicks of the player's window.

namespace {

constexpr int Hotbar = 36;

struct Slot {
  int slot;
  short item;
  int count;
};

void expectSlot(const TSPackets::SetSlot& packet, const Slot& expected) {
  EXPECT_EQ(packet.windowId, 0);
  EXPECT_EQ(packet.slot, expected.slot);
  EXPECT_EQ(packet.itemId, expected.item);
  if (expected.item >= 0) {
    EXPECT_EQ(packet.itemCount, expected.count);
  }
}

// A logged-in player with its world around it, standing at the spawn point.
class ItemsTest : public ::testing::Test {
protected:
  ItemsTest() : options(withRadius()), server(options), alice(server.port()) {
    alice.logIn("alice");
    ColumnWatcher(alice, options.seed).readLoads(9);
  }

  static Server::ServerOptions withRadius() {
    auto options = testOptions();
    options.viewRadius = 1;
    return options;
  }

  int ground() const { return server.spawn().y - 1; }

  Server::ServerOptions options;
  RunningServer server;
  ScriptedClient alice;
};

} // namespace

// A new player holds eight full stacks of blocks in the hotbar, the last
// slot empty, nothing elsewhere, and has full health.
TEST(ItemsLogin, StarterHotbarAndFullHealth) {
  RunningServer server;
  ScriptedClient client(server.port());
  client.logIn("alice");
  const auto window = client.until<TSPackets::WindowItems>();
  EXPECT_EQ(window.windowId, 0);
  ASSERT_EQ(window.itemIds.size(), 45u);
  const std::vector<short> hotbar(window.itemIds.begin() + Hotbar, window.itemIds.end());
  EXPECT_EQ(hotbar, (std::vector<short>{1, 3, 5, 4, 12, 20, 45, 17, -1}));
  for (int slot = 0; slot < 45; ++slot) {
    if (slot >= Hotbar && slot < 44)
      EXPECT_EQ(window.itemCounts[std::size_t(slot)], 64) << slot;
    else
      EXPECT_EQ(window.itemIds[std::size_t(slot)], -1) << slot;
  }
  const auto health = client.until<TSPackets::UpdateHealth>();
  EXPECT_EQ(health.health, 20);
  EXPECT_EQ(health.food, 20);
}

// Each place takes one from the held stack and says so; a place the hand
// cannot make is refused with the block and the held slot as they are.
TEST_F(ItemsTest, PlacesUseUpTheHeldStack) {
  alice.send(placeOnTop(9, ground(), 8, 1));
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar, 1, 63});

  TSPackets::PlayerHoldingChange holding;
  holding.slot = 1;
  alice.send(holding);
  alice.send(placeOnTop(10, ground(), 8, 3));
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 1, 3, 63});
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) holds slot 1"));

  struct Refused {
    const char* what;
    short item;
    const char* logged;
  };
  const Refused refusals[] = {
      {"empty hand", -1, "the hand is empty"},
      {"no block", 280, "item 280 is no block"},
      {"not what is held", 12, "the hand holds 63 of 3, not 12"},
  };
  const int y = server.spawn().y;
  const int there = Terrain::TerrainGenerator(options.seed).block(11, y, 8);
  for (const Refused& refused : refusals) {
    alice.send(placeOnTop(11, ground(), 8, refused.item));
    const auto block = alice.until<TSPackets::BlockChange>();
    EXPECT_EQ(block.x, 11) << refused.what;
    EXPECT_EQ(block.y, y) << refused.what;
    EXPECT_EQ(block.blockType, there) << refused.what;
    expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 1, 3, 63});
    EXPECT_TRUE(
        server.waitForLog("may not build at 11, " + std::to_string(y) + ", 8: " + refused.logged))
        << refused.what;
  }

  // The empty last slot, and a slot beyond the hotbar that changes nothing.
  holding.slot = 9;
  alice.send(holding);
  holding.slot = 8;
  alice.send(holding);
  alice.send(placeOnTop(11, ground(), 8, -1));
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 8, -1, 0});
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) may not hold slot 9"));
}

// Digging yields one of the dug block: onto a stack of its kind with room,
// else into the first empty slot, the hotbar first. Water yields nothing.
TEST_F(ItemsTest, DigsFillTheInventory) {
  const Terrain::TerrainGenerator terrain(options.seed);
  ASSERT_EQ(terrain.block(8, ground(), 8), Terrain::Water);
  alice.send(digAt(2, 8, ground(), 8));
  EXPECT_FALSE(anyOf<TSPackets::SetSlot>(settle(alice, "alice")));

  struct Block {
    int x, y, z;
    short type;
  };
  std::vector<Block> solid;
  for (int y = ground() - 1; y > ground() - 4; --y)
    for (int x = 7; x <= 10; ++x)
      for (int z = 7; z <= 10; ++z) {
        const auto type = terrain.block(x, y, z);
        if (type != 0 && type != Terrain::Water && type != Terrain::Bedrock)
          solid.push_back({x, y, z, static_cast<short>(type)});
      }
  ASSERT_GE(solid.size(), 2u);
  // Every starter stack is full: the first block goes into the empty
  // hotbar slot, the second onto it or into the main inventory.
  alice.send(digAt(2, solid[0].x, solid[0].y, solid[0].z));
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 8, solid[0].type, 1});
  alice.send(digAt(2, solid[1].x, solid[1].y, solid[1].z));
  if (solid[1].type == solid[0].type)
    expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 8, solid[0].type, 2});
  else
    expectSlot(alice.until<TSPackets::SetSlot>(), {9, solid[1].type, 1});
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) picked up " + std::to_string(solid[0].type) +
                                " into slot 44"));
}

// Clicks are applied as the client applies them and accepted; a click that
// does not see what the server has is refused, and the window and the
// cursor are sent again.
TEST_F(ItemsTest, ClicksAreAnsweredAndAMismatchIsCorrected) {
  struct Accepted {
    const char* what;
    TSPackets::WindowClick click;
  };
  const Accepted accepted[] = {
      {"pick up the stone", clickOf(36, 1, 1, 64)},
      {"put one into the empty slot", clickOf(44, 2, -1, 0, true)},
      {"swap with the dirt", clickOf(37, 3, 3, 64)},
  };
  for (const Accepted& row : accepted) {
    alice.send(row.click);
    const auto answer = alice.until<TSPackets::Transaction>();
    EXPECT_EQ(answer.windowId, 0) << row.what;
    EXPECT_EQ(answer.actionNumber, row.click.actionNumber) << row.what;
    EXPECT_TRUE(answer.accepted) << row.what;
  }
  EXPECT_TRUE(
      server.waitForLog("connection 1 (alice) clicked slot 37 (action 3), holding 64 of 3"));

  // The planks are there, but not as many as the client thinks.
  alice.send(clickOf(38, 4, 5, 10));
  const auto refusal = alice.until<TSPackets::Transaction>();
  EXPECT_EQ(refusal.actionNumber, 4);
  EXPECT_FALSE(refusal.accepted);
  const auto window = alice.until<TSPackets::WindowItems>();
  EXPECT_EQ(window.windowId, 0);
  ASSERT_EQ(window.itemIds.size(), 45u);
  const struct {
    int slot;
    short item;
    int count;
  } truth[] = {{36, -1, 0}, {37, 1, 63}, {38, 5, 64}, {44, 1, 1}};
  for (const auto& slot : truth) {
    EXPECT_EQ(window.itemIds[std::size_t(slot.slot)], slot.item) << slot.slot;
    if (slot.item >= 0) {
      EXPECT_EQ(window.itemCounts[std::size_t(slot.slot)], slot.count) << slot.slot;
    }
  }
  const auto cursor = alice.until<TSPackets::SetSlot>();
  EXPECT_EQ(cursor.windowId, -1);
  EXPECT_EQ(cursor.slot, -1);
  EXPECT_EQ(cursor.itemId, 3);
  EXPECT_EQ(cursor.itemCount, 64);
  EXPECT_TRUE(server.waitForLog("click 4 refused: slot 38 holds 64 of 5, not 10 of 5"));

  // The client owns to the refusal; that changes nothing.
  TSPackets::Transaction owned = refusal;
  owned.accepted = true;
  alice.send(owned);
  EXPECT_FALSE(anyOf<TSPackets::Transaction>(settle(alice, "alice")));

  // Refused without a change: a slot the window does not have, a shifted
  // click, a window that is not open.
  auto beyond = clickOf(45, 5, -1, 0);
  auto shifted = clickOf(38, 6, 5, 64);
  shifted.shift = true;
  auto otherWindow = clickOf(0, 7, -1, 0);
  otherWindow.windowId = 5;
  for (const auto& click : {beyond, shifted, otherWindow}) {
    alice.send(click);
    const auto answer = alice.until<TSPackets::Transaction>();
    EXPECT_EQ(answer.windowId, click.windowId);
    EXPECT_EQ(answer.actionNumber, click.actionNumber);
    EXPECT_FALSE(answer.accepted);
  }
  EXPECT_TRUE(server.waitForLog("click 5 refused: no slot 45"));
  EXPECT_TRUE(server.waitForLog("click 6 refused: shifted clicks move nothing"));
  EXPECT_TRUE(server.waitForLog("click 7 refused: window 5 is not open"));

  // Outside the window the cursor's stack is thrown out: the next refusal
  // shows an empty cursor and the window as it was.
  alice.send(clickOf(-999, 8, -1, 0));
  EXPECT_TRUE(alice.until<TSPackets::Transaction>().accepted);
  alice.send(clickOf(38, 9, 5, 1));
  EXPECT_FALSE(alice.until<TSPackets::Transaction>().accepted);
  EXPECT_EQ(alice.until<TSPackets::WindowItems>().itemCounts[37], 63);
  EXPECT_EQ(alice.until<TSPackets::SetSlot>().itemId, -1);
}

// A stack still on the cursor when the player closes the window goes back
// into the inventory, which the client is shown.
TEST_F(ItemsTest, ClosingTheWindowPutsTheCursorsStackBack) {
  alice.send(clickOf(36, 1, 1, 64));
  ASSERT_TRUE(alice.until<TSPackets::Transaction>().accepted);
  TSPackets::CloseWindow close;
  close.windowId = 0;
  alice.send(close);
  const auto window = alice.until<TSPackets::WindowItems>();
  EXPECT_EQ(window.itemIds[36], 1);
  EXPECT_EQ(window.itemCounts[36], 64);
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) closed window 0, putting back 64 of 1"));
}

// A stack used up to its last block leaves its slot empty.
TEST_F(ItemsTest, TheLastBlockEmptiesTheSlot) {
  alice.send(clickOf(36, 1, 1, 64));
  alice.send(clickOf(44, 2, -1, 0, true));
  TSPackets::PlayerHoldingChange holding;
  holding.slot = 8;
  alice.send(holding);
  alice.send(placeOnTop(9, ground(), 8, 1, 1));
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 8, -1, 0});
  alice.send(placeOnTop(10, ground(), 8, 1, 1));
  alice.until<TSPackets::BlockChange>();
  expectSlot(alice.until<TSPackets::SetSlot>(), {Hotbar + 8, -1, 0});
  EXPECT_TRUE(server.waitForLog("the hand holds nothing, not 1"));
}
