#include <algorithm>
#include <limits>

#include <OgreMaterialManager.h>
#include <OgreSceneNode.h>

#include "Entities/Mobs/Creeper.h"
#include "Entities/Mobs/Unknown.h"
#include "Entities/Named.h"
#include "PageFixture.h"

namespace {

using Lines = std::vector<std::string>;

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
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
  EXPECT_NEAR(m_page->camera()->getFOVy().valueDegrees(), 75.0, 1e-4);
  EXPECT_EQ(Ogre::MaterialManager::getSingleton().getDefaultTextureFiltering(Ogre::FT_MIN),
            Ogre::FO_LINEAR);
  EXPECT_FALSE(m_page->connected());
  EXPECT_EQ(m_page->worldManager(), nullptr);
}

TEST_F(PageTest, DefaultsToArrowKeysAndWideView) {
  EXPECT_EQ(m_page->movementKeys()[GamePages::Forward], OIS::KC_UP);
  EXPECT_NEAR(m_page->camera()->getFOVy().valueDegrees(), 120.0, 1e-4);
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIN), Ogre::FO_ANISOTROPIC);
  EXPECT_EQ(materials.getDefaultAnisotropy(), 8u);
}

class BadConfiguration : public PageTest {
protected:
  bool pageInSetUp() const override { return false; }
};

TEST_F(BadConfiguration, StopsTheStartWithAClearError) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[Graphics]\nfov=wide\n", "bad lexical cast"},
      {"[Graphics]\nfov=99999999999\n", "bad lexical cast"},
      {"[Graphics]\nfov=90.5\n", "bad lexical cast"},
      {"[Graphics]\nfov=0\n", "Graphics fov"},
      {"[Graphics]\nfov=180\n", "Graphics fov"},
      {"[Graphics]\nFiltering=sharp\n", "Graphics Filtering"},
      {"[Graphics]\nViewDistance=far\n", "Graphics ViewDistance must be 0 or more columns"},
      {"[Graphics]\nDetailDistance=-1\n", "Graphics DetailDistance must be 0 or more columns"},
      {"[Graphics]\nDetailDistance=2.5\n", "Graphics DetailDistance"},
      {"[Graphics]\nCoarseDistance=-1\n", "Graphics CoarseDistance must be 0 or more columns"},
      {"[Accounts]\nTimeout=0\n", "Accounts Timeout"},
      {"[Server]\nStallTimeout=-1\n", "Server StallTimeout"},
  };
  for (const auto& c : cases) {
    writeConfiguration(c.first);
    try {
      GamePages::Tessellar page;
      ADD_FAILURE() << "accepted " << c.first;
    } catch (const std::exception& error) {
      EXPECT_NE(std::string(error.what()).find(c.second), std::string::npos)
          << c.first << ": " << error.what();
    }
  }
}

TEST_F(PageTest, KeepAliveIsAnsweredOnlyAfterTheSpawnPosition) {
  connectAndLogIn();
  TSPackets::Ping early;
  early.keepAliveId = 7;
  serverSend(early);
  serverSend(spawnPoint(10, 64, -3));
  TSPackets::Ping late;
  late.keepAliveId = 8;
  serverSend(late);
  EXPECT_EQ(serverReceive<TSPackets::Ping>().keepAliveId, 8);
  EXPECT_TRUE(contains(m_capture->out(), "received spawn position: 10, 64, -3"));
  EXPECT_EQ(m_page->positionPacket().x, 10);
  EXPECT_EQ(m_page->positionPacket().y, 65);
  EXPECT_EQ(m_page->positionPacket().z, -3);
}

TEST_F(PageTest, ServerTimeIsFollowedUnlessOneTickApart) {
  connectAndLogIn();
  const std::vector<std::pair<std::int64_t, std::int64_t>> steps = {
      {1000, 1000}, {1001, 1000}, {999, 1000}, {1002, 1002}, {1000, 1000}, {-5, -5}};
  for (const auto& step : steps) {
    TSPackets::TimeUpdate time;
    time.time = step.first;
    serverSend(time);
    sync();
    EXPECT_EQ(m_page->serverTime(), step.second) << "after " << step.first;
  }
}

TEST_F(PageTest, PositionCorrectionIsObeyedAndEchoed) {
  connectAndLogIn();
  m_page->setCameraDirection(Ogre::Vector3::NEGATIVE_UNIT_Z);
  TSPackets::PlayerPosAndLook correction;
  correction.x = 5.5;
  correction.y = 70;
  correction.stance = 71.62;
  correction.z = -7.25;
  correction.yaw = 33;
  correction.pitch = 12;
  correction.onGround = true;
  serverSend(correction);
  const TSPackets::PlayerPosAndLook echo = receivePosition();
  EXPECT_EQ(echo.x, 5.5);
  EXPECT_EQ(echo.y, 70);
  EXPECT_EQ(echo.stance, 71.62);
  EXPECT_EQ(echo.z, -7.25);
  EXPECT_TRUE(echo.onGround);
  // The look stays the page's own, in the protocol's convention: looking
  // along -z is a yaw of 180.
  EXPECT_EQ(echo.yaw, 180);
  EXPECT_EQ(echo.pitch, 0);
  const Ogre::Vector3 eye = m_page->cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.x, 5.5f);
  EXPECT_FLOAT_EQ(eye.y, 71.62f);
  EXPECT_FLOAT_EQ(eye.z, -7.25f);
  const Lines lines = m_capture->out();
  const auto first = std::find(lines.begin(), lines.end(), "received pos and look packet:");
  ASSERT_NE(first, lines.end());
  ASSERT_GE(lines.end() - first, 5);
  EXPECT_EQ(first[1], "x,y,z,stance = 5.5,70,-7.25,71.62");
  EXPECT_EQ(first[2], "yaw, pitch, on_ground = 180,0,1");
  EXPECT_EQ(first[3], "answering with same packet");
  EXPECT_EQ(first[4], "sending first playerpos&look");
}

TEST_F(PageTest, ServerDisconnectIsReported) {
  connectAndLogIn();
  TSPackets::Disconnect kick;
  kick.reason = "Server is full";
  serverSend(kick);
  pumpUntil([&] { return !m_capture->err().empty(); });
  EXPECT_TRUE(contains(m_capture->err(), "the server closed the connection: Server is full"));
}

TEST_F(PageTest, DisconnectKeySendsTheGoodbyeAndDropsTheWorld) {
  connectAndLogIn();
  pressKey(OIS::KC_0);
  EXPECT_EQ(serverReceive<TSPackets::Disconnect>().reason, "disconnect ferrowick");
  EXPECT_FALSE(m_page->connected());
  EXPECT_EQ(m_page->worldManager(), nullptr);
  EXPECT_EQ(m_page->entityManager(), nullptr);
}

TEST_F(PageTest, SecondConnectStartsAnEmptyWorldWithoutGhosts) {
  Ogre::SceneNode* root = m_page->cameraNode()->getParentSceneNode();
  const std::size_t emptyScene = root->numChildren();
  connectAndLogIn();
  const TSPackets::Prechunk load = prechunk(1, 1, true);
  serverSend(load);
  TSPackets::MobSpawn mob;
  mob.entityId = 5;
  mob.mobType = 51;
  mob.metadata = {0x7F};
  serverSend(mob);
  pumpUntil([&] { return m_page->entityManager()->contains(5); });
  EXPECT_EQ(root->numChildren(), emptyScene + 2);
  const WorldManager* first = m_page->worldManager();

  connectAndLogIn();
  ASSERT_NE(m_page->worldManager(), nullptr);
  EXPECT_NE(m_page->worldManager(), first);
  EXPECT_FALSE(m_page->worldManager()->isLoaded({1, 0, 1}));
  EXPECT_EQ(m_page->entityManager()->size(), 0u);
  // The old chunk's object and the old mob's mesh went with their owners.
  EXPECT_EQ(root->numChildren(), emptyScene);
  serverSend(load);
  pumpUntil([&] { return m_page->worldManager()->isLoaded({1, 0, 1}); });
}

TEST_F(PageTest, ReturnKeyPutsTheEyeAboveTheLastPosition) {
  connectAndLogIn();
  serverSend(spawnPoint(3, 80, 4));
  pumpUntil([&] { return m_page->positionPacket().y == 81; });
  pressKey(OIS::KC_1);
  const Ogre::Vector3 eye = m_page->cameraNode()->getPosition();
  EXPECT_FLOAT_EQ(eye.y, 82.62f);
  EXPECT_FLOAT_EQ(eye.x, 3.0f);
}

TSPackets::MapChunk fullColumn(std::int32_t x, std::int16_t y, std::int32_t z) {
  TSPackets::MapChunk chunk;
  chunk.x = x;
  chunk.y = y;
  chunk.z = z;
  chunk.sizeX = 15;
  chunk.sizeY = 127;
  chunk.sizeZ = 15;
  chunk.type.assign(16 * 128 * 16, 0);
  chunk.metadata.assign(16 * 128 * 16, 0);
  chunk.blockLight.assign(16 * 128 * 16, 0);
  chunk.skyLight.assign(16 * 128 * 16, 0);
  return chunk;
}

TSVoxel voxelAt(WorldManager& world, int x, int y, int z) {
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  return world.volume().getVoxelAt(x, y, z);
}

TEST_F(PageTest, MapChunkLandsInPayloadOrderAndIsMeshed) {
  connectAndLogIn();
  serverSend(prechunk(-2, 3, true));
  TSPackets::MapChunk chunk = fullColumn(-32, 0, 48);
  // A floor of stone five blocks high, and four marked blocks.
  for (int column = 0; column < 256; ++column)
    for (int y = 0; y < 5; ++y)
      chunk.type[column * 128 + y] = 1;
  chunk.type[0] = 7;
  chunk.type[1] = 2;
  chunk.type[128] = 3;
  chunk.type[2048] = static_cast<signed char>(0xFF);
  serverSend(chunk);
  WorldManager* world = m_page->worldManager();
  pumpUntil([&] { return voxelAt(*world, -32, 0, 48).m_type == 7; });
  EXPECT_EQ(voxelAt(*world, -32, 1, 48).m_type, 2);
  EXPECT_EQ(voxelAt(*world, -32, 0, 49).m_type, 3);
  EXPECT_EQ(voxelAt(*world, -31, 0, 48).m_type, 255);
  EXPECT_EQ(voxelAt(*world, -17, 4, 63).m_type, 1);
  EXPECT_EQ(voxelAt(*world, -17, 5, 63).m_type, 0);

  // The worker's mesh replaces the placeholder triangle.
  Ogre::ManualObject* object = world->chunkObject({-2, 0, 3});
  ASSERT_NE(object, nullptr);
  pumpUntil([&] {
    world->update();
    return object->getSections()[0]->getRenderOperation()->vertexData->vertexCount > 3;
  });
  for (const std::string& line : m_capture->out())
    EXPECT_EQ(line.find("chunk"), std::string::npos) << line;
}

TEST_F(PageTest, ChunkBookkeepingSurvivesOddServers) {
  connectAndLogIn();
  serverSend(prechunk(3, -4, true));
  serverSend(prechunk(3, -4, true));
  serverSend(prechunk(9, -4, false));
  serverSend(fullColumn(160, 0, 160));  // never announced
  serverSend(fullColumn(320, 200, 0));  // above the world's single layer
  serverSend(fullColumn(std::numeric_limits<int>::max() - 20, 0, 0));
  TSPackets::MapChunk single = fullColumn(0, 0, 0);
  single.sizeX = single.sizeY = single.sizeZ = 0;
  single.type.assign(1, 1);
  single.metadata.assign(1, 0);
  single.blockLight.assign(1, 0);
  single.skyLight.assign(1, 0);
  serverSend(single);
  TSPackets::BlockChange change;
  change.x = 1;
  change.y = 1;
  change.z = 1;
  change.blockType = 5;
  serverSend(change);
  TSPackets::TimeUpdate last;
  last.time = 4242;
  serverSend(last);
  pumpUntil([&] { return m_page->serverTime() == 4242; });

  WorldManager* world = m_page->worldManager();
  EXPECT_TRUE(world->isLoaded({3, 0, -4}));
  EXPECT_TRUE(world->isLoaded({10, 0, 10}));
  EXPECT_FALSE(world->isLoaded({20, 1, 0}));
  EXPECT_EQ(voxelAt(*world, 0, 0, 0).m_type, 0);
  EXPECT_EQ(voxelAt(*world, 1, 1, 1).m_type, 0);
  const Lines lines = m_capture->out();
  EXPECT_TRUE(contains(lines, "tried to load chunk twice: 3, 0, -4"));
  EXPECT_TRUE(contains(lines, "ignored map chunk beyond the edge of the world at 2147483627, 0"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "Stupid TS server sent us a chunk that it didn't tell us we should load"),
            1);
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
  far.y = std::numeric_limits<int>::min();
  serverSend(far);
  TSPackets::EntityLookAndMove step;
  step.entityId = 9;
  step.dx = 1;
  step.dy = -1;
  step.yaw = 64;
  serverSend(step);
  pumpUntil([&] {
    EntityManager& entities = *m_page->entityManager();
    return entities.contains(9) && entities.get(9).m_yaw == 64;
  });
  const Entities::Movable& entity = m_page->entityManager()->get(9);
  EXPECT_EQ(entity.m_position.x, std::numeric_limits<int>::min());
  EXPECT_EQ(entity.m_position.y, std::numeric_limits<int>::max());
}

TEST_F(PageTest, TicksReportThePositionOnlyAfterTheSpawn) {
  connectAndLogIn();
  for (int i = 0; i < 3; ++i)
    m_page->tick();
  nudge();
  EXPECT_TRUE(clientIsQuiet());

  serverSend(spawnPoint(0, 40, 0));
  pumpUntil([&] { return m_page->positionPacket().y == 41; });
  for (int i = 0; i < 3; ++i)
    m_page->tick();
  nudge();
  for (int i = 0; i < 3; ++i) {
    const TSPackets::PlayerPosAndLook report = receivePosition();
    EXPECT_NEAR(report.stance - report.y, 1.62, 1e-5);
  }
  EXPECT_TRUE(clientIsQuiet());
}

} // namespace
