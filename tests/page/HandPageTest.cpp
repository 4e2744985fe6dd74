// The player's hand against a scripted server, in a real window: what a
// click or a held button on an aimed block tells the server. The dig's and
// the aim's rules are tested without a window (tests/player).

#include <OISMouse.h>

#include "ColumnPacket.h"
#include "PageFixture.h"
#include "world/BlockKinds.h"

namespace {

const std::uint8_t Stone = 1;

class HandPage : public PageTest {
protected:
  // The column at chunk 0, 0: stone under y = 64 and a stone pillar at
  // x = 8, z = 10 up to y = 66; the player stands at 8.5, 64, 8.5 looking
  // along +z, at the pillar's north face.
  void standBeforeAPillar() {
    connectAndLogIn();
    serverSend(prechunk(0, 0, true));
    serverSend(columnPacket({0, 0, 0}, [](int x, int y, int z) {
      return y < 64 || (x == 8 && z == 10 && y < 67) ? Stone : 0;
    }));
    TSPackets::PlayerPosAndLook place;
    place.x = 8.5;
    place.y = 64;
    place.stance = 65.62;
    place.z = 8.5;
    serverSend(place);
    receivePosition();
    pumpUntil([&] {
      m_page->tick();
      return m_page->aim().has_value();
    });
  }

  void press(OIS::MouseButtonID button) {
    m_page->shell().mousePressed(OIS::MouseEvent(nullptr, OIS::MouseState()), button);
  }
  void release(OIS::MouseButtonID button) {
    m_page->shell().mouseReleased(OIS::MouseEvent(nullptr, OIS::MouseState()), button);
  }
  void ticks(std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
      m_page->tick();
    nudge();
  }

  // The dig's packet with the status, for the pillar's block at eye height.
  void expectDig(signed char status) {
    const TSPackets::PlayerDig dig = serverReceiveAfterReports<TSPackets::PlayerDig>();
    EXPECT_EQ(int(dig.status), int(status));
    EXPECT_EQ(dig.x, 8);
    EXPECT_EQ(int(dig.y), 65);
    EXPECT_EQ(dig.z, 10);
    EXPECT_EQ(int(dig.face), 2) << "the north face, toward -z";
  }
  void expectSwing() {
    const TSPackets::Animation swing = serverReceiveAfterReports<TSPackets::Animation>();
    EXPECT_EQ(swing.entityId, 4711);
    EXPECT_EQ(int(swing.animation), 1);
  }
  void expectPlace() {
    const TSPackets::PlayerBlockPlace place =
        serverReceiveAfterReports<TSPackets::PlayerBlockPlace>();
    EXPECT_EQ(place.x, 8);
    EXPECT_EQ(int(place.y), 65);
    EXPECT_EQ(place.z, 10);
    EXPECT_EQ(int(place.direction), 2);
    EXPECT_EQ(place.itemId, -1) << "the empty hand";
    expectSwing();
  }
};

// Held for the stone's dig time, the dig starts with a swing and finishes;
// the progress shows meanwhile.
TEST_F(HandPage, HoldingTheDigButtonDigsTheAimedBlock) {
  standBeforeAPillar();
  press(OIS::MB_Left);
  ticks(1);
  expectDig(0);
  expectSwing();
  ticks(blockInfo(Stone).digTicks);
  expectDig(2);
  release(OIS::MB_Left);
}

// Released before the dig time, the dig never finishes: the next thing the
// server hears of the hand is a place.
TEST_F(HandPage, AnEarlyReleaseSendsNoFinish) {
  standBeforeAPillar();
  press(OIS::MB_Left);
  ticks(2);
  release(OIS::MB_Left);
  ticks(blockInfo(Stone).digTicks + 5);
  expectDig(0);
  expectSwing();
  press(OIS::MB_Right);
  release(OIS::MB_Right);
  ticks(1);
  expectPlace();
}

// In creative mode a click shorter than a tick digs the block at once.
TEST_F(HandPage, InCreativeModeAClickDigsAtOnce) {
  m_serverMode = 1;
  standBeforeAPillar();
  press(OIS::MB_Left);
  release(OIS::MB_Left);
  ticks(1);
  expectDig(0);
  expectDig(2);
  expectSwing();
}

} // namespace
