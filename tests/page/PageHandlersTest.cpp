#include <algorithm>
#include <limits>

#include <OgreMaterialManager.h>
#include <OgreSceneNode.h>

#include "Entities/Mobs/Creeper.h"
#include "Entities/Mobs/Unknown.h"
#include "Entities/Named.h"
#include "ColumnPacket.h"
#include "PageFixture.h"

namespace {

using Lines = std::vector<std::string>;

// A column of chunk `chunk` with a stone floor five blocks high.
TSPackets::MapChunk floorColumn(ChunkPosition chunk) {
  return columnPacket(chunk, [](int, int y, int) { return y < 5 ? 1 : 0; });
}

class ConfiguredPage : public PageTest {
protected:
  std::string extraConfiguration() const override {
    return "[Controls]\nPreconfigured=wasd\n\n[Graphics]\nfov\t75\nFiltering : bilinear\n";
  }
};

TEST_F(ConfiguredPage, ReadsLayoutAndFieldOfView) {
  EXPECT_EQ(m_page->movementKeys()[GamePages::Forward], OIS::KC_W);
  EXPECT_EQ(m_page->movementKeys()[5], OIS::KC_LSHIFT);
  EXPECT_NEAR(m_page->shell().camera()->getFOVy().valueDegrees(), 75.0, 1e-4);
  EXPECT_EQ(Ogre::MaterialManager::getSingleton().getDefaultTextureFiltering(Ogre::FT_MIN),
            Ogre::FO_LINEAR);
  EXPECT_FALSE(m_page->connected());
  EXPECT_EQ(m_page->world(), nullptr);
}

TEST_F(PageTest, DefaultsToArrowKeysAndWideView) {
  EXPECT_EQ(m_page->movementKeys()[GamePages::Forward], OIS::KC_UP);
  EXPECT_NEAR(m_page->shell().camera()->getFOVy().valueDegrees(), 120.0, 1e-4);
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIN), Ogre::FO_ANISOTROPIC);
  EXPECT_EQ(materials.getDefaultAnisotropy(), 8u);
}

// The correction places the camera and turns it to the correction's look,
// which the echo carries.
TEST_F(PageTest, PositionCorrectionIsObeyedAndEchoed) {
  connectAndLogIn();
  m_page->shell().setCameraDirection(Ogre::Vector3::NEGATIVE_UNIT_Z);
  TSPackets::PlayerPosAndLook correction;
  correction.x = 5.5;
  correction.y = 70;
  correction.stance = 71.62;
  correction.z = -7.25;
  correction.yaw = 90;
  correction.pitch = 30;
  correction.onGround = true;
  serverSend(correction);
  const TSPackets::PlayerPosAndLook echo = receivePosition();
  EXPECT_EQ(echo.x, 5.5);
  EXPECT_EQ(echo.yaw, 90);
  EXPECT_EQ(echo.pitch, 30);
  const Ogre::Vector3 eye = m_page->shell().cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.x, 5.5f);
  EXPECT_FLOAT_EQ(eye.y, 71.62f);
  EXPECT_FLOAT_EQ(eye.z, -7.25f);
  EXPECT_FLOAT_EQ(m_page->eye().y, 71.62f) << "the next tick goes on from there";
  // Yaw 90 looks along -x, pitch 30 down.
  const Ogre::Vector3 view =
      m_page->shell().cameraNode()->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
  const Ogre::Real down = Ogre::Math::Sin(Ogre::Degree(30));
  const Ogre::Real level = Ogre::Math::Cos(Ogre::Degree(30));
  EXPECT_TRUE(view.directionEquals(Ogre::Vector3(-level, -down, 0), Ogre::Degree(0.01f))) << view;
}

TEST_F(PageTest, DisconnectKeySendsTheGoodbyeAndDropsTheWorld) {
  connectAndLogIn();
  pressKey(OIS::KC_0);
  EXPECT_EQ(serverReceive<TSPackets::Disconnect>().reason, "disconnect ferrowick");
  EXPECT_FALSE(m_page->connected());
  EXPECT_EQ(m_page->world(), nullptr);
  EXPECT_EQ(m_page->entityManager(), nullptr);
}

TEST_F(PageTest, SecondConnectStartsAnEmptyWorldWithoutGhosts) {
  Ogre::SceneNode* root = m_page->shell().cameraNode()->getParentSceneNode();
  const std::size_t emptyScene = root->numChildren();
  connectAndLogIn();
  const ChunkPosition chunk(1, 0, 1);
  serverSend(prechunk(chunk.x, chunk.z, true));
  serverSend(floorColumn(chunk));
  TSPackets::MobSpawn mob;
  mob.entityId = 5;
  mob.mobType = 51;
  mob.metadata = {0x7F};
  serverSend(mob);
  pumpUntil([&] {
    m_page->world()->update();
    return m_page->entityManager()->contains(5) && m_page->world()->view().chunkObject(chunk);
  });
  EXPECT_EQ(root->numChildren(), emptyScene + 2);
  const World* first = m_page->world();

  // "8" while connected says goodbye to the server first.
  pressKey(OIS::KC_8);
  EXPECT_EQ(serverReceive<TSPackets::Disconnect>().reason, "disconnect ferrowick");
  acceptConnection();
  playLogIn();
  ASSERT_NE(m_page->world(), nullptr);
  EXPECT_NE(m_page->world(), first);
  EXPECT_FALSE(m_page->world()->model().isLoaded(chunk));
  EXPECT_EQ(m_page->entityManager()->size(), 0u);
  // The old chunk's object and the old mob's mesh went with their owners.
  EXPECT_EQ(root->numChildren(), emptyScene);
  serverSend(prechunk(chunk.x, chunk.z, true));
  pumpUntil([&] { return m_page->world()->model().isLoaded(chunk); });
}

TEST_F(PageTest, ReturnKeyPutsTheEyeAboveTheLastPosition) {
  connectAndLogIn();
  serverSend(spawnPoint(3, 80, 4));
  pumpUntil([&] { return m_page->positionPacket().y == 81; });
  pressKey(OIS::KC_1);
  const Ogre::Vector3 eye = m_page->shell().cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.y, 82.62f);
  EXPECT_FLOAT_EQ(eye.x, 3.0f);
}

// The chunk packets reach the world: loads and unloads, blocks and edits.
// What they do there is tested without a window (tests/world).
TEST_F(PageTest, ChunkPacketsReachTheWorld) {
  connectAndLogIn();
  const ChunkPosition chunk(-2, 0, 3), gone(5, 0, 5);
  serverSend(prechunk(chunk.x, chunk.z, true));
  serverSend(prechunk(gone.x, gone.z, true));
  serverSend(floorColumn(chunk));
  TSPackets::BlockChange change;
  change.x = -30;
  change.y = 4;
  change.z = 50;
  change.blockType = 0;
  serverSend(change);
  // One record of a MultiBlockChange: x 3, z 4 and y 5 packed into a short,
  // then its type and its metadata.
  const std::string changes = {char(TSPackets::MultiBlockChange::Id), -1, -1, -1, -2, 0, 0, 0, 3,
                               0, 1, 0x34, 0x05, 7, 0};
  serverSendBytes(changes);
  serverSend(prechunk(gone.x, gone.z, false));
  sync();

  WorldModel& world = m_page->world()->model();
  EXPECT_TRUE(world.isLoaded(chunk));
  EXPECT_FALSE(world.isLoaded(gone));
  const auto typeAt = [&](int x, int y, int z) {
    std::lock_guard<std::mutex> lock(world.volumeMutex());
    return world.volume().getVoxelAt(x, y, z).m_type;
  };
  EXPECT_EQ(typeAt(-32, 4, 48), 1);
  EXPECT_EQ(typeAt(-30, 4, 50), 0);
  EXPECT_EQ(typeAt(-29, 5, 52), 7);
  // The column is drawn once its mesh is done.
  pumpUntil([&] {
    m_page->world()->update();
    return m_page->world()->view().chunkObject(chunk) != nullptr;
  });
  EXPECT_TRUE(m_capture->err().empty());
}

TEST_F(PageTest, EntitiesFollowSpawnMoveAndDestroy) {
  connectAndLogIn();
  TSPackets::MobSpawn creeper;
  creeper.entityId = 1;
  creeper.mobType = 50;
  creeper.x = 320;
  creeper.y = 2048;
  creeper.z = -64;
  creeper.metadata = {0x7F};
  serverSend(creeper);
  TSPackets::MobSpawn stranger = creeper;
  stranger.entityId = 2;
  stranger.mobType = 90;
  serverSend(stranger);
  TSPackets::EntityRelativeMove step;
  step.entityId = 2;
  step.dx = -3;
  serverSend(step);
  TSPackets::EntityVelocity drift;
  drift.entityId = 2;
  drift.velocityX = 1000;
  serverSend(drift);
  // Packets for ids that are not tracked are dropped without a word.
  TSPackets::EntityTeleport lost;
  lost.entityId = 77;
  serverSend(lost);
  TSPackets::DestroyEntity gone;
  gone.entityId = 78;
  serverSend(gone);
  TSPackets::DestroyEntity destroy;
  destroy.entityId = 1;
  serverSend(destroy);
  TSPackets::EntityLook late;
  late.entityId = 1;
  serverSend(late);
  TSPackets::NamedEntitySpawn alice;
  alice.entityId = 3;
  alice.name = "Alice";
  alice.x = 32;
  alice.currentItem = 277;
  serverSend(alice);
  alice.x = 64;
  serverSend(alice);
  TSPackets::TimeUpdate last;
  last.time = 777;
  serverSend(last);
  pumpUntil([&] { return m_page->serverTime() == 777; });

  EntityManager& entities = *m_page->entityManager();
  EXPECT_EQ(entities.size(), 2u);
  EXPECT_FALSE(entities.contains(1));
  auto& unknown = dynamic_cast<Entities::Mobs::Unknown&>(entities.get(2));
  EXPECT_EQ(unknown.m_mobType, 90);
  EXPECT_EQ(unknown.m_position.x, 317);
  auto& named = dynamic_cast<Entities::Named&>(entities.get(3));
  EXPECT_EQ(named.m_position.x, 64);
  EXPECT_EQ(named.m_equipmentItems[0], 277);
  entities.update();
  EXPECT_EQ(unknown.m_position.x, 318);
  ASSERT_NE(unknown.m_sceneNode, nullptr);
  EXPECT_EQ(unknown.m_sceneNode->getPosition(), Ogre::Vector3(318 / 32.0f, 64, -2));
  EXPECT_EQ(unknown.m_sceneNode->getScale(), Ogre::Vector3(0.01f, 0.01f, 0.01f));
  EXPECT_TRUE(m_capture->err().empty());
}

// The edge of the 32-bit positions lies within the world's horizontal
// bounds (a 32nd of a block each); moves beyond it wrap.
TEST_F(PageTest, MovesAtTheEdgeOfTheRangeWrap) {
  connectAndLogIn();
  TSPackets::MobSpawn mob;
  mob.entityId = 9;
  mob.mobType = 50;
  mob.metadata = {0x7F};
  serverSend(mob);
  TSPackets::EntityTeleport far;
  far.entityId = 9;
  far.x = std::numeric_limits<int>::max();
  far.y = 2048;
  far.z = std::numeric_limits<int>::min();
  serverSend(far);
  TSPackets::EntityLookAndMove step;
  step.entityId = 9;
  step.dx = 1;
  step.dy = -1;
  step.dz = -1;
  step.yaw = 64;
  serverSend(step);
  pumpUntil([&] {
    EntityManager& entities = *m_page->entityManager();
    return entities.contains(9) && entities.get(9).m_yaw == 64;
  });
  const Entities::Movable& entity = m_page->entityManager()->get(9);
  EXPECT_EQ(entity.m_position.x, std::numeric_limits<int>::min());
  EXPECT_EQ(entity.m_position.y, 2047);
  EXPECT_EQ(entity.m_position.z, std::numeric_limits<int>::max());
}

} // namespace
