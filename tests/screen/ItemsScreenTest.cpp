// The player's items and health in the game page's window: the hotbar
// filled by the server's window packets, the held slot chosen by keys and
// the wheel, the hearts, the death screen and the respawn; against a
// scripted server in the test.

#include <clocale>

#include "ColumnPacket.h"
#include "DrawnPageTest.h"

namespace {

using GamePages::SessionStatus;

class Items : public DrawnPageTest {
protected:
  bool pageInSetUp() const override { return false; }

  // The display learns the window's size in the first frame: the heads-up
  // display shows from the second on.
  void SetUp() override {
    DrawnPageTest::SetUp();
    if (HasFatalFailure())
      return;
    m_page = std::make_unique<GamePages::Tessellar>();
    tick();
  }

  void press(OIS::KeyCode key) { m_page->shell().keyPressed(OIS::KeyEvent(nullptr, key, 0)); }

  void wheel(int relative) {
    OIS::MouseState state;
    state.Z.rel = relative;
    m_page->shell().mouseMoved(OIS::MouseEvent(nullptr, state));
  }

  void logIn() {
    connectAndLogIn();
    pumpUntil([&] {
      return m_page->headsUp().status().state() == SessionStatus::State::Connected;
    });
  }

  void sendHealth(short health, short food = 20) {
    TSPackets::UpdateHealth update;
    update.health = health;
    update.food = food;
    serverSend(update);
    pumpUntil([&] { return m_page->health().known() && m_page->health().health() == health; });
  }

  // The hotbar's slots on the 800 x 600 window: nine of 36 pixels, centred,
  // 34 pixels above the bottom.
  static Area slotArea(int slot) { return Area{238 + 36 * slot + 5, 535, 26, 26}; }
};

TSPackets::SetSlot setSlot(int slot, short itemId, signed char count) {
  TSPackets::SetSlot packet;
  packet.windowId = 0;
  packet.slot = static_cast<short>(slot);
  packet.itemId = itemId;
  packet.itemCount = count;
  packet.damage = 0;
  return packet;
}

// Stone in the first hotbar slot and a sword in the second; then SetSlot
// turns the stone into sand, whose picture is another.
TEST_F(Items, WindowItemsThenSetSlotFillTheHotbar) {
  logIn();
  const Picture empty = frame();
  TSPackets::WindowItems items;
  items.windowId = 0;
  items.itemIds.assign(45, -1);
  items.itemCounts.assign(45, 0);
  items.damages.assign(45, 0);
  items.itemIds[36] = 1;
  items.itemCounts[36] = 64;
  items.itemIds[37] = 276;
  items.itemCounts[37] = 1;
  serverSend(items);
  ASSERT_TRUE(pumpUntil([&] { return !m_page->inventory().hotbar(1).empty(); }));
  const Picture filled = frame();
  EXPECT_GT(filled.differing(empty, slotArea(0)), 300) << "the stone's picture";
  EXPECT_GT(filled.differing(empty, slotArea(1)), 60) << "the sword's picture";
  EXPECT_EQ(filled.differing(empty, slotArea(2)), 0);

  serverSend(setSlot(36, 12, 5));
  ASSERT_TRUE(pumpUntil([&] { return m_page->inventory().hotbar(0).itemId == 12; }));
  const Picture sand = frame();
  EXPECT_GT(sand.differing(filled, slotArea(0)), 300) << "sand's picture in the stone's place";
  const auto yellowish = [](const Pixel& p) { return p.r > p.b + 40 && p.g > p.b + 30; };
  EXPECT_GT(sand.count(slotArea(0), yellowish), 200) << sand.mean(slotArea(0));
  EXPECT_EQ(sand.differing(filled, slotArea(1)), 0);
}

// Without bindings the digits choose the slots, but 1 and 8 stay the
// return and connect keys: those slots are reached by the wheel.
TEST_F(Items, KeysAndTheWheelSendTheHeldSlot) {
  logIn();
  const struct {
    const char* what;
    OIS::KeyCode key;
    int wheel;
    short slot;
  } steps[] = {
      {"key 3", OIS::KC_3, 0, 2},          {"wheel towards the player", OIS::KC_UNASSIGNED, -120, 3},
      {"wheel away, two notches", OIS::KC_UNASSIGNED, 240, 1},
      {"key 9", OIS::KC_9, 0, 8},          {"wheel past the end", OIS::KC_UNASSIGNED, -120, 0},
      {"wheel back past the start", OIS::KC_UNASSIGNED, 120, 8},
      {"key 2", OIS::KC_2, 0, 1},
  };
  for (const auto& step : steps) {
    if (step.wheel != 0)
      wheel(step.wheel);
    else
      press(step.key);
    EXPECT_EQ(m_page->inventory().held(), step.slot) << step.what;
    nudge();
    EXPECT_EQ(serverReceive<TSPackets::PlayerHoldingChange>().slot, step.slot) << step.what;
  }
  press(OIS::KC_1);
  EXPECT_EQ(m_page->inventory().held(), 1) << "1 returns to the position";
  nudge();
  EXPECT_TRUE(clientIsQuiet());
}

class BoundItemKeys : public Items {
  std::string extraConfiguration() const override {
    return "[Controls]\nHotbar1=Z\nHotbar8=X\nConnect=C\n";
  }
};

TEST_F(BoundItemKeys, BoundKeysChooseTheirSlots) {
  press(OIS::KC_C);
  acceptConnection();
  playLogIn();
  for (const auto& [key, slot] : {std::pair{OIS::KC_X, 7}, {OIS::KC_Z, 0}, {OIS::KC_2, 1}}) {
    press(key);
    nudge();
    EXPECT_EQ(serverReceive<TSPackets::PlayerHoldingChange>().slot, slot) << key;
  }
  press(OIS::KC_8);
  nudge();
  EXPECT_TRUE(clientIsQuiet()) << "8 is neither the connect key nor a slot's now";
}

bool isRed(const Pixel& p) { return p.r > 150 && p.g < 80 && p.b < 80; }

// Heart i lies at 238 + 16 i, 510 on the window; its left half shows from
// one point, the right from two.
TEST_F(Items, HeartsShowTheHealthInHalves) {
  logIn();
  const struct {
    short health;
    int fullHearts;
    bool half;
  } cases[] = {{20, 10, false}, {13, 6, true}, {1, 0, true}, {8, 4, false}, {40, 10, false}};
  for (const auto& c : cases) {
    sendHealth(c.health);
    const Picture picture = frame();
    for (int heart = 0; heart < 10; ++heart) {
      const int left = 238 + 16 * heart;
      const bool leftRed = picture.count(Area{left + 1, 512, 5, 8}, isRed) > 10;
      const bool rightRed = picture.count(Area{left + 8, 512, 5, 8}, isRed) > 10;
      const bool full = heart < c.fullHearts;
      const bool half = c.half && heart == c.fullHearts;
      EXPECT_EQ(leftRed, full || half) << c.health << " points, heart " << heart;
      EXPECT_EQ(rightRed, full) << c.health << " points, heart " << heart;
    }
  }
}

// At 0 the death screen covers the world and the player stands still; the
// respawn key asks the server, whose Respawn brings a new, empty world
// that waits for its chunks.
TEST_F(Items, DeathScreenRespawnsAndTheServersRespawnClearsTheWorld) {
  logIn();
  serverSend(columnPacket({0, 0, 0}, [](int, int y, int) { return y < 60 ? 1 : 0; }));
  ASSERT_TRUE(pumpUntil([&] { return m_page->world()->model().chunks().size() == 1; }));
  sendHealth(20);
  const Picture alive = frame();
  sendHealth(0);
  const Picture dead = frame();
  const Area middle{300, 200, 200, 80};
  EXPECT_GT(dead.differing(alive, middle), 5000) << "the death screen";
  EXPECT_GT(dead.mean(middle).r, dead.mean(middle).b + 40) << dead.mean(middle);
  EXPECT_TRUE(m_capture->mentions("the player died"));

  press(OIS::KC_3);
  EXPECT_EQ(m_page->inventory().held(), 0) << "the dead choose nothing";
  press(OIS::KC_RETURN);
  nudge();
  const TSPackets::Respawn asked = serverReceive<TSPackets::Respawn>();
  EXPECT_EQ(asked.mapSeed, 99) << "the login's world";

  TSPackets::Respawn respawn;
  respawn.dimension = -1;
  respawn.worldHeight = 128;
  serverSend(respawn);
  ASSERT_TRUE(pumpUntil([&] { return !m_page->health().known(); }));
  EXPECT_TRUE(m_page->world()->model().chunks().empty());
  const Picture reborn = frame();
  EXPECT_LT(reborn.differing(alive, middle), 2000) << "no death screen";

  nudge();
  EXPECT_TRUE(clientIsQuiet()) << "no position reported before the server places the player";
  serverSend(columnPacket({0, 0, 0}, [](int, int y, int) { return y < 60 ? 1 : 0; }));
  EXPECT_TRUE(pumpUntil([&] { return m_page->world()->model().chunks().size() == 1; }));
}

// A refused click is owned to with the same action number, which the
// server waits for before it takes the next.
TEST_F(Items, ARefusedTransactionIsAnswered) {
  logIn();
  TSPackets::Transaction refusal;
  refusal.windowId = 0;
  refusal.actionNumber = 7;
  refusal.accepted = false;
  serverSend(refusal);
  const TSPackets::Transaction answer = serverReceive<TSPackets::Transaction>();
  EXPECT_EQ(answer.windowId, 0);
  EXPECT_EQ(answer.actionNumber, 7);
  EXPECT_TRUE(answer.accepted);
  refusal.accepted = true;
  serverSend(refusal);
  nudge();
  EXPECT_TRUE(clientIsQuiet()) << "an accepted click needs no answer";
}

} // namespace

namespace {

// The screens of windows: the pointer is the real one, moved with xdotool
// within the page's window; the buttons are pressed through the shell.
class WindowScreens : public Items {
protected:
  void pointAt(ImVec2 point) {
    unsigned long window = 0;
    m_page->shell().window()->getCustomAttribute("WINDOW", &window);
    xdotool({"mousemove", "--sync", "--window", std::to_string(window),
             std::to_string(int(point.x)), std::to_string(int(point.y))});
  }

  void click(ImVec2 point, OIS::MouseButtonID button = OIS::MB_Left) {
    pointAt(point);
    m_page->shell().mousePressed(OIS::MouseEvent(nullptr, OIS::MouseState()), button);
    m_page->shell().mouseReleased(OIS::MouseEvent(nullptr, OIS::MouseState()), button);
  }

  // The middle of the slot on the open screen.
  ImVec2 slotCentre(WindowKind kind, int ownSlots, int slot) {
    const WindowLayout layout = layoutWindow(kind, ownSlots, ImVec2(800, 600));
    const ImVec2 min = layout.slots.at(static_cast<std::size_t>(slot)).min;
    return ImVec2(min.x + layout.slotSize / 2, min.y + layout.slotSize / 2);
  }

  void sendItems(int windowId, std::size_t slots, std::vector<std::pair<int, ItemStack>> filled) {
    TSPackets::WindowItems items;
    items.windowId = static_cast<signed char>(windowId);
    items.itemIds.assign(slots, -1);
    items.itemCounts.assign(slots, 0);
    items.damages.assign(slots, 0);
    for (const auto& [slot, stack] : filled) {
      items.itemIds[static_cast<std::size_t>(slot)] = stack.itemId;
      items.itemCounts[static_cast<std::size_t>(slot)] = stack.count;
    }
    serverSend(items);
  }

  void openWindow(int windowId, signed char type, int slots) {
    TSPackets::OpenWindow open;
    open.windowId = static_cast<signed char>(windowId);
    open.inventoryType = type;
    open.title = "Box";
    open.slotCount = static_cast<signed char>(slots);
    serverSend(open);
    ASSERT_TRUE(pumpUntil([&] { return m_page->screenOpen(); }));
  }

  void answer(int windowId, short action, bool accepted) {
    TSPackets::Transaction transaction;
    transaction.windowId = static_cast<signed char>(windowId);
    transaction.actionNumber = action;
    transaction.accepted = accepted;
    serverSend(transaction);
  }
};

bool isPanelGrey(const Pixel& p) {
  return p.r > 150 && std::abs(p.r - p.g) < 20 && std::abs(p.g - p.b) < 20;
}

// E opens the player's inventory over the world with the pointer free; a
// stack is picked up and put down with increasing action numbers; the
// server refuses the second, which is undone and owned to; Escape closes
// the screen and tells the server.
TEST_F(WindowScreens, TheInventoryScreenClicksAndFollowsTheServersAnswers) {
  logIn();
  sendItems(0, 45, {{36, ItemStack{1, 64, 0}}, {9, ItemStack{3, 10, 0}}});
  ASSERT_TRUE(pumpUntil([&] { return !m_page->inventory().hotbar(0).empty(); }));
  const Picture world = frame();
  press(OIS::KC_E);
  const Picture screen = frame();
  ASSERT_TRUE(m_page->screenOpen());
  EXPECT_TRUE(m_page->shell().pointerFree());
  const Area besideTitle{330, 131, 180, 18};
  EXPECT_GT(screen.count(besideTitle, isPanelGrey), 180 * 18 - 100) << screen.mean(besideTitle);
  EXPECT_LT(world.count(besideTitle, isPanelGrey), 100);

  click(slotCentre(WindowKind::Player, 45, 36));
  click(slotCentre(WindowKind::Player, 45, 10));
  nudge();
  const TSPackets::WindowClick pickUp = serverReceive<TSPackets::WindowClick>();
  EXPECT_EQ(pickUp.windowId, 0);
  EXPECT_EQ(pickUp.slot, 36);
  EXPECT_EQ(pickUp.actionNumber, 1);
  EXPECT_EQ(pickUp.itemId, 1);
  EXPECT_EQ(pickUp.itemCount, 64);
  const TSPackets::WindowClick putDown = serverReceive<TSPackets::WindowClick>();
  EXPECT_EQ(putDown.slot, 10);
  EXPECT_EQ(putDown.actionNumber, 2);
  EXPECT_EQ(putDown.itemId, -1);
  EXPECT_EQ(m_page->inventory().slot(10), (ItemStack{1, 64, 0}));

  answer(0, 1, true);
  answer(0, 2, false);
  ASSERT_TRUE(pumpUntil([&] { return m_page->inventory().slot(10).empty(); }));
  EXPECT_EQ(m_page->inventory().cursor(), (ItemStack{1, 64, 0})) << "back on the cursor";
  EXPECT_TRUE(m_page->inventory().slot(36).empty()) << "the accepted pick-up stays";
  const TSPackets::Transaction owned = serverReceive<TSPackets::Transaction>();
  EXPECT_EQ(owned.actionNumber, 2);
  EXPECT_TRUE(owned.accepted);
  EXPECT_TRUE(m_capture->mentions("the server refused click 2 in window 0"));

  press(OIS::KC_ESCAPE);
  EXPECT_FALSE(m_page->screenOpen());
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::CloseWindow>().windowId, 0);
  frame();
  EXPECT_FALSE(m_page->shell().pointerFree()) << "the look has the pointer again";
  EXPECT_TRUE(m_page->inventory().cursor().empty());
}

// A chest the server opens shows its own slots above the player's; a click
// goes to its window; the server's CloseWindow closes it without a word
// back. A furnace's bars follow UpdateProgressBar; Escape closes it and the
// server hears of it.
TEST_F(WindowScreens, ServerWindowsOpenTakeClicksAndClose) {
  logIn();
  openWindow(3, 0, 27);
  sendItems(3, 63, {{0, ItemStack{4, 20, 0}}, {27 + 27, ItemStack{1, 5, 0}}});
  ASSERT_TRUE(pumpUntil([&] { return !m_page->inventory().slot(0).empty(); }));
  EXPECT_EQ(m_page->inventory().hotbar(0), (ItemStack{1, 5, 0})) << "the chest shows the hotbar";
  frame();
  click(slotCentre(WindowKind::Chest, 27, 0), OIS::MB_Right);
  nudge();
  const TSPackets::WindowClick half = serverReceive<TSPackets::WindowClick>();
  EXPECT_EQ(half.windowId, 3);
  EXPECT_EQ(half.slot, 0);
  EXPECT_TRUE(half.rightClick);
  EXPECT_EQ(m_page->inventory().cursor().count, 10);

  TSPackets::CloseWindow close;
  close.windowId = 3;
  serverSend(close);
  ASSERT_TRUE(pumpUntil([&] { return !m_page->screenOpen(); }));
  frame();
  EXPECT_FALSE(m_page->shell().pointerFree());
  nudge();
  EXPECT_TRUE(clientIsQuiet());

  openWindow(4, 2, 3);
  TSPackets::UpdateProgressBar cooking;
  cooking.windowId = 4;
  cooking.progressBar = 0;
  cooking.value = 100;
  serverSend(cooking);
  cooking.windowId = 9;
  serverSend(cooking);
  ASSERT_TRUE(pumpUntil([&] { return m_capture->mentions("ignored progress bar 0 of window 9"); }));
  ASSERT_EQ(m_page->inventory().openWindow()->progress.size(), 1u);
  EXPECT_EQ(m_page->inventory().openWindow()->progress[0], 100);
  frame();
  press(OIS::KC_ESCAPE);
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::CloseWindow>().windowId, 4);
  EXPECT_FALSE(m_page->inventory().openWindow());
}

// On the death screen the pointer is free and its button asks for a new
// life as the key does; a click beside it does nothing.
TEST_F(WindowScreens, TheDeathScreensButtonAsksForARespawn) {
  logIn();
  sendHealth(0);
  frame();
  EXPECT_TRUE(m_page->shell().pointerFree());
  const ButtonArea button = respawnButton(ImVec2(800, 600));
  click(ImVec2(button.min.x - 20, button.min.y + 10));
  nudge();
  EXPECT_TRUE(clientIsQuiet());
  click(ImVec2((button.min.x + button.max.x) / 2, (button.min.y + button.max.y) / 2));
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::Respawn>().mapSeed, 99);
}

} // namespace
