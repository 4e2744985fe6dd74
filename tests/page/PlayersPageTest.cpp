// Other players in the page's window: the player model in its pose, the
// name over its head, readable at a distance and hidden behind terrain, and
// the list of the server's players while Tab is held.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <OgreBone.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>

#include "ColumnPacket.h"
#include "Entities/Named.h"
#include "PageFixture.h"
#include "Picture.h"

namespace {

bool isWhite(const Pixel& p) { return p.r > 220 && p.g > 220 && p.b > 220; }

// A stone wall across chunk (0, 0, 0) at z = 8, x and y from 2 to 13, and
// the camera six blocks in front of it, looking at it. The world holds
// nothing else, so that only names are white.
class PlayersInView : public PageTest {
protected:
  void SetUp() override {
    PageTest::SetUp();
    connectAndLogIn();
    const ChunkPosition chunk{0, 0, 0};
    serverSend(prechunk(chunk.x, chunk.z, true));
    serverSend(columnPacket(chunk, [](int x, int y, int z) {
      return z == 8 && x >= 2 && x <= 13 && y >= 2 && y <= 13 ? 1 : 0;
    }));
    World& world = *m_page->world();
    world.view().setDrawBudget(std::chrono::seconds(1));
    ASSERT_TRUE(pumpUntil([&] {
      world.update();
      const Ogre::ManualObject* object = world.view().chunkObject(chunk);
      return object &&
             object->getSections().front()->getRenderOperation()->vertexData->vertexCount > 0;
    }));
    m_page->shell().cameraNode()->setPosition(9.5f, 8.0f, 14.5f);
    m_page->shell().setCameraDirection(Ogre::Vector3(0, 0, -1));
  }

  // Spawns a player standing at the block position and waits until it is
  // tracked.
  Entities::Named& spawn(int id, const std::string& name, Ogre::Vector3 feet) {
    TSPackets::NamedEntitySpawn spawn;
    spawn.entityId = id;
    spawn.name = name;
    spawn.x = static_cast<std::int32_t>(feet.x * 32);
    spawn.y = static_cast<std::int32_t>(feet.y * 32);
    spawn.z = static_cast<std::int32_t>(feet.z * 32);
    serverSend(spawn);
    EntityManager& entities = *m_page->entityManager();
    EXPECT_TRUE(pumpUntil([&] { return entities.contains(id); }));
    entities.update();
    return dynamic_cast<Entities::Named&>(entities.get(id));
  }

  // The frame as the camera stands now.
  Picture show() {
    m_page->world()->cull();
    m_page->shell().update(true);
    return Picture(*m_page->shell().window());
  }

  // The part of the window just over where a point of the world shows, as
  // wide as a short name.
  Area above(const Ogre::Vector3& point) {
    const Ogre::Camera* camera = m_page->shell().camera();
    const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * point);
    const Ogre::RenderWindow& window = *m_page->shell().window();
    const int x = int((clip.x + 1) / 2 * window.getWidth());
    const int y = int((1 - clip.y) / 2 * window.getHeight());
    return Area{x - 40, y - 24, 80, 24};
  }

  static Ogre::Vector3 nameAt(const Ogre::Vector3& feet) {
    return feet + Ogre::Vector3(0, Entities::Named::NameHeight, 0);
  }
};

// Bob stands in front of the wall, Alice behind it, Carol behind it too but
// beside it, six times as far as Bob: Bob's and Carol's names show about
// as large, Alice's not at all.
TEST_F(PlayersInView, NamesShowOverPlayersAndHideBehindTerrain) {
  const Ogre::Vector3 bob(7, 4, 12), alice(11.5f, 4, 4), carol(25, 4, 0);
  const Picture empty = show();
  for (const Ogre::Vector3& feet : {bob, alice, carol})
    ASSERT_EQ(empty.count(above(nameAt(feet)), isWhite), 0);

  spawn(1, "Bob", bob);
  spawn(2, "Alice", alice);
  spawn(3, "Carol", carol);
  const Picture named = show();
  const int bobsName = named.count(above(nameAt(bob)), isWhite);
  const int carolsName = named.count(above(nameAt(carol)), isWhite);
  EXPECT_GT(bobsName, 25);
  EXPECT_GT(carolsName, bobsName / 2) << "readable at a distance";
  EXPECT_LT(carolsName, bobsName * 2);
  EXPECT_EQ(named.count(above(nameAt(alice)), isWhite), 0) << "behind the wall";
  EXPECT_TRUE(m_capture->err().empty()) << testing::PrintToString(m_capture->err());
}

TEST_F(PlayersInView, NamesLeaveWithTheirPlayers) {
  const Ogre::Vector3 bob(7, 4, 12);
  spawn(1, "Bob", bob);
  ASSERT_GT(show().count(above(nameAt(bob)), isWhite), 25);
  TSPackets::DestroyEntity gone;
  gone.entityId = 1;
  serverSend(gone);
  ASSERT_TRUE(pumpUntil([&] { return !m_page->entityManager()->contains(1); }));
  EXPECT_EQ(show().count(above(nameAt(bob)), isWhite), 0);
}

Ogre::Quaternion boneTurn(const Entities::Named& player, const char* bone) {
  auto* mesh = static_cast<Ogre::Entity*>(player.m_sceneNode->getAttachedObject(0));
  const Ogre::Bone* part = mesh->getSkeleton()->getBone(bone);
  return part->getInitialOrientation().Inverse() * part->getOrientation();
}

// Forward is a negative turn about the model's x axis.
float forwardDegrees(const Entities::Named& player, const char* bone) {
  const Ogre::Quaternion turn = boneTurn(player, bone);
  Ogre::Radian angle;
  Ogre::Vector3 axis;
  turn.ToAngleAxis(angle, axis);
  return -Ogre::Degree(angle).valueDegrees() * axis.x;
}

// A walking player swings each leg against the other and each arm against
// its leg; standing, the limbs come back upright. The head follows the
// pitch.
TEST_F(PlayersInView, ThePlayerModelWalksAndLooks) {
  Entities::Named& bob = spawn(1, "Bob", Ogre::Vector3(7, 4, 12));
  ASSERT_EQ(bob.getMeshName(), "player.mesh");
  float widest = 0;
  for (int step = 0; step < 12; ++step) {
    TSPackets::EntityLookAndMove walk;
    walk.entityId = 1;
    walk.dz = 6;
    walk.pitch = 32;
    serverSend(walk);
    ASSERT_TRUE(pumpUntil([&] { return bob.m_position.z == 12 * 32 + 6 * (step + 1); }));
    m_page->entityManager()->update();
    const float left = forwardDegrees(bob, "leftLeg");
    EXPECT_NEAR(forwardDegrees(bob, "rightLeg"), -left, 1e-3f);
    EXPECT_NEAR(forwardDegrees(bob, "leftArm"), -0.75f * left, 1e-3f);
    EXPECT_NEAR(forwardDegrees(bob, "rightArm"), 0.75f * left, 1e-3f);
    widest = std::max(widest, std::fabs(left));
  }
  EXPECT_GT(widest, 20);
  auto* mesh = static_cast<Ogre::Entity*>(bob.m_sceneNode->getAttachedObject(0));
  const Ogre::Vector3 face = mesh->getSkeleton()->getBone("head")->getOrientation() *
                             Ogre::Vector3::UNIT_Z;
  EXPECT_TRUE(face.positionEquals(Ogre::Vector3(0, -std::sqrt(0.5f), std::sqrt(0.5f)), 1e-4f))
      << "looking down by 45 degrees: " << face;

  for (int still = 0; still < 40; ++still)
    m_page->entityManager()->update();
  for (const char* limb : {"leftLeg", "rightLeg", "leftArm", "rightArm"})
    EXPECT_TRUE(boneTurn(bob, limb).equals(Ogre::Quaternion::IDENTITY, Ogre::Degree(0.01f)))
        << limb;
}

// What hangs from the player model's bones: the item in its hand, or none.
Ogre::Entity* heldItem(const Entities::Named& player) {
  auto* model = static_cast<Ogre::Entity*>(player.m_sceneNode->getAttachedObject(0));
  const auto& attached = model->getAttachedObjects();
  return attached.empty() ? nullptr : static_cast<Ogre::Entity*>(attached.front());
}

bool isBlue(const Pixel& p) { return p.b > p.r + 50 && p.b > 80; }

TSPackets::EntityEquipment equipment(int id, short slot, short item) {
  TSPackets::EntityEquipment packet;
  packet.entityId = id;
  packet.slot = slot;
  packet.itemId = item;
  return packet;
}

// The item a player spawns with, and each the server gives its hand later,
// shows there: a block in its picture (water is blue), another item as a
// thin square, an empty hand nothing. Other slots, slots beyond the five
// and entities that are no players change nothing in the hand.
TEST_F(PlayersInView, TheHandShowsTheItemHeld) {
  TSPackets::NamedEntitySpawn spawn;
  spawn.entityId = 4;
  spawn.name = "Dave";
  spawn.x = int(9.5 * 32);
  spawn.y = 6 * 32;
  spawn.z = 11 * 32;
  spawn.currentItem = 8;
  serverSend(spawn);
  EntityManager& entities = *m_page->entityManager();
  ASSERT_TRUE(pumpUntil([&] { return entities.contains(4); }));
  entities.update();
  auto& dave = dynamic_cast<Entities::Named&>(entities.get(4));
  Ogre::Entity* water = heldItem(dave);
  ASSERT_NE(water, nullptr);
  const Ogre::Vector3 hand = water->getWorldBoundingBox(true).getCenter();
  EXPECT_LT(hand.y, 6 + 1.0f) << "at the hand, below the shoulder";
  const Area around{above(hand).left + 30, above(hand).top + 20, 20, 8};
  EXPECT_GT(show().count(around, isBlue), 40) << "water in the hand";

  serverSend(equipment(4, 1, 310));
  serverSend(equipment(4, 5, 1));
  serverSend(equipment(4, -1, 1));
  serverSend(equipment(99, 0, 1));
  serverSend(equipment(4, 0, 277));
  ASSERT_TRUE(pumpUntil([&] { return dave.m_equipmentItems[0] == 277; }));
  EXPECT_EQ(dave.m_equipmentItems[1], 310);
  Ogre::Entity* tool = heldItem(dave);
  ASSERT_NE(tool, nullptr);
  EXPECT_LT(tool->getParentNode()->getScale().x, 0.5f) << "a flat square";
  EXPECT_EQ(show().count(around, isBlue), 0);

  serverSend(equipment(4, 0, 0));
  ASSERT_TRUE(pumpUntil([&] { return dave.m_equipmentItems[0] == 0; }));
  EXPECT_EQ(heldItem(dave), nullptr);

  // A mob has no hand to show it in.
  TSPackets::MobSpawn creeper;
  creeper.entityId = 5;
  creeper.mobType = 50;
  creeper.metadata = {0x7F};
  serverSend(creeper);
  serverSend(equipment(5, 0, 1));
  serverSend(equipment(4, 0, 3));
  ASSERT_TRUE(pumpUntil([&] { return dave.m_equipmentItems[0] == 3; }));
  EXPECT_NE(heldItem(dave), nullptr);
  TSPackets::DestroyEntity gone;
  gone.entityId = 4;
  serverSend(gone);
  ASSERT_TRUE(pumpUntil([&] { return !entities.contains(4); }));
  EXPECT_TRUE(m_capture->err().empty()) << testing::PrintToString(m_capture->err());
}

TSPackets::PlayerListItem listItem(const std::string& name, bool online, short ping) {
  TSPackets::PlayerListItem item;
  item.playerName = name;
  item.online = online;
  item.ping = ping;
  return item;
}

class PlayerListKey : public PageTest {
protected:
  // Ticks, each followed by a frame that reads the keyboard.
  void frames(int count) {
    for (int i = 0; i < count; ++i) {
      m_page->tick();
      m_page->frame(1);
    }
  }

  bool framesUntil(const std::function<bool()>& condition) {
    return pumpUntil([&] {
      frames(1);
      return condition();
    });
  }

  Picture picture() {
    frames(1);
    return Picture(*m_page->shell().window());
  }

  // The list's title (row -1) and its rows, top middle, under the status
  // line.
  static Area row(const Picture& picture, int index) {
    return Area{picture.width() / 2 - 103, 40 + 19 * (index + 1), 206, 19};
  }
};

// The list holds the players the server names online, less the one it
// named offline; it shows while Tab is held, a row each, and not while the
// player types a chat line.
TEST_F(PlayerListKey, HoldingTabShowsTheNamesSent) {
  connectAndLogIn();
  serverSend(listItem("Carol", true, 5));
  serverSend(listItem("Alice", true, 40));
  serverSend(listItem("Carol", false, 0));
  serverSend(listItem("Bob", true, 120));
  const PlayerList& players = m_page->playerList();
  ASSERT_TRUE(pumpUntil([&] {
    return players.players().size() == 2 && players.players().back().name == "Bob";
  }));
  EXPECT_EQ(players.players().front().name, "Alice");

  const Picture hidden = picture();
  for (int index = -1; index < 3; ++index)
    EXPECT_EQ(hidden.count(row(hidden, index), isWhite), 0) << "row " << index;

  xdotool({"keydown", "Tab"});
  ASSERT_TRUE(framesUntil([&] { return m_page->headsUp().playersShown(); }));
  const Picture shown = picture();
  for (int index = -1; index < 2; ++index)
    EXPECT_GT(shown.count(row(shown, index), isWhite), 20) << "row " << index;
  EXPECT_EQ(shown.count(row(shown, 2), isWhite), 0) << "two players, two rows";

  serverSend(listItem("Dave", true, 1));
  ASSERT_TRUE(framesUntil([&] {
    const Picture again = picture();
    return again.count(row(again, 2), isWhite) > 20;
  })) << "a third player shows while the list is open";

  xdotool({"keyup", "Tab"});
  ASSERT_TRUE(framesUntil([&] { return !m_page->headsUp().playersShown(); }));
  const Picture closed = picture();
  EXPECT_EQ(closed.count(row(closed, 0), isWhite), 0);

  pressKey(OIS::KC_T);
  ASSERT_TRUE(m_page->headsUp().chatInput().isOpen());
  xdotool({"keydown", "Tab"});
  ASSERT_TRUE(framesUntil([&] { return m_page->shell().isKeyDown(OIS::KC_TAB); }));
  frames(2);
  EXPECT_FALSE(m_page->headsUp().playersShown()) << "Tab while typing";
  xdotool({"keyup", "Tab"});
  ASSERT_TRUE(framesUntil([&] { return !m_page->shell().isKeyDown(OIS::KC_TAB); }));
}

// A new connection starts with an empty list.
TEST_F(PlayerListKey, ReconnectingEmptiesTheList) {
  connectAndLogIn();
  serverSend(listItem("Alice", true, 40));
  ASSERT_TRUE(pumpUntil([&] { return m_page->playerList().players().size() == 1; }));
  pressKey(OIS::KC_8);
  EXPECT_TRUE(m_page->playerList().players().empty());
}

} // namespace
