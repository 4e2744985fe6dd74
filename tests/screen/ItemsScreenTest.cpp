// The player's items and health in the game page's window: the hotbar
// filled by the server's window packets, the held slot chosen by keys and
// the wheel, the hearts, the death screen and the respawn; against a
// scripted server in the test.

#include <clocale>

#include "ColumnPacket.h"
#include "PageFixture.h"
#include "Picture.h"

namespace {

using GamePages::SessionStatus;

class Items : public PageTest {
protected:
  bool pageInSetUp() const override { return false; }

  // The display learns the window's size in the first frame: the heads-up
  // display shows from the second on.
  void SetUp() override {
    PageTest::SetUp();
    if (HasFatalFailure())
      return;
    m_page = std::make_unique<GamePages::Tessellar>();
    tick();
  }

  void tick(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
      m_page->tick();
      m_page->frame(1);
    }
  }

  Picture frame() {
    tick();
    return Picture(*m_page->shell().window());
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
