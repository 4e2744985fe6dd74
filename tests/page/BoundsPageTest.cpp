// The page in a window against a server that sends what no world holds:
// places for the player that the camera never sees, chunks far from the
// player's place, entities beyond the container's limit or outside the
// world. What each refusal does in detail is tested without a window
// (tests/session, tests/world); here it is the page's part.

#include <algorithm>
#include <cmath>
#include <limits>

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include "PageFixture.h"
#include "WorldBounds.h"

namespace {

using Lines = std::vector<std::string>;

class BoundsTest : public PageTest {
protected:
  // Pumps and ticks until a line holding `text` has been written.
  void tickUntilLine(const std::string& text) {
    pumpUntil([&] {
      m_page->tick();
      return m_capture->mentions(text);
    });
  }

  static TSPackets::MobSpawn mob(int id, int x, int y, int z) {
    TSPackets::MobSpawn packet;
    packet.entityId = id;
    packet.mobType = 50;
    packet.x = x;
    packet.y = y;
    packet.z = z;
    packet.metadata = {0x7F};
    return packet;
  }
};

bool finite(const Ogre::Vector3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A place that is not a number aborts the engine at once; infinite or huge
// ones leave a camera whose look turns into no number at the next mouse
// move. None of them reaches the camera, the eye or the reports.
TEST_F(BoundsTest, PlacesOutsideTheWorldNeverReachTheCamera) {
  connectAndLogIn();
  correct(5.5, 70, -7.25);
  const Ogre::Quaternion look = m_page->shell().cameraNode()->getOrientation();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Place {
    double x, y, z;
  };
  for (const Place& place : {Place{nan, 70, 0}, Place{inf, 70, -inf}, Place{1e300, 70, 0},
                             Place{0, 1e9, 0}}) {
    TSPackets::PlayerPosAndLook packet;
    packet.x = place.x;
    packet.y = place.y;
    packet.stance = place.y + 1.62;
    packet.z = place.z;
    serverSend(packet);
  }
  TSPackets::SpawnPoint spawn;
  spawn.y = std::numeric_limits<std::int32_t>::max();
  serverSend(spawn);
  sync();
  EXPECT_EQ(m_page->shell().cameraNode()->getPosition(), Ogre::Vector3(5.5f, 71.62f, -7.25f));
  EXPECT_EQ(m_page->shell().cameraNode()->getOrientation(), look);

  OIS::MouseState motion;
  motion.X.rel = 40;
  motion.Y.rel = 10;
  m_page->shell().mouseMoved(OIS::MouseEvent(nullptr, motion));
  m_page->tick();
  m_page->frame(1);
  EXPECT_TRUE(finite(m_page->shell().camera()->getDerivedDirection()));
  EXPECT_TRUE(finite(m_page->shell().cameraNode()->getPosition()));
  nudge();
  const TSPackets::PlayerPosAndLook report = receivePosition();
  EXPECT_FLOAT_EQ(float(report.x), 5.5f);
  EXPECT_FLOAT_EQ(float(report.z), -7.25f);
  EXPECT_TRUE(std::isfinite(report.y) && std::isfinite(report.stance) &&
              std::isfinite(report.yaw) && std::isfinite(report.pitch));
}

// The world takes chunks around the place the server gives the player, not
// around where the camera happened to be before.
TEST_F(BoundsTest, ChunksAreTakenAroundThePlayersPlace) {
  connectAndLogIn();
  correct(16000.5, 70, 0.5);
  const ChunkPosition near(1000 + WorldModel::LoadRadius, 0, 0), origin(0, 0, 0);
  serverSend(prechunk(origin.x, origin.z, true));
  serverSend(prechunk(near.x, near.z, true));
  sync();
  const WorldModel& world = m_page->world()->model();
  EXPECT_TRUE(world.isLoaded(near));
  EXPECT_FALSE(world.isLoaded(origin));
  EXPECT_TRUE(m_capture->mentions("ignored chunk 0, 0 beyond 36 columns of the player"));
}

// Entities beyond the container's limit are not tracked, with a line for
// the first and one for the rest of the burst; places outside the world's
// heights are ignored.
TEST_F(BoundsTest, EntitiesHaveALimitAndStayWithinTheWorld) {
  connectAndLogIn();
  const int tooHigh = 1 << 30; // 2^25 blocks up
  serverSend(mob(1, 320, 2048, -64));
  serverSend(mob(2, 0, tooHigh, 0));
  TSPackets::EntityTeleport away;
  away.entityId = 1;
  away.y = -tooHigh;
  serverSend(away);
  const int extra = 4;
  for (int id = 3; id <= int(EntityManager::MaxEntities) + 1 + extra; ++id)
    serverSend(mob(id, 0, 2048, 0));
  sync();
  EntityManager& entities = *m_page->entityManager();
  EXPECT_EQ(entities.size(), EntityManager::MaxEntities);
  EXPECT_FALSE(entities.contains(2));
  EXPECT_EQ(entities.get(1).m_position.y, 2048);
  EXPECT_TRUE(entities.contains(int(EntityManager::MaxEntities) + 1));
  EXPECT_FALSE(entities.contains(int(EntityManager::MaxEntities) + 2));
  tickUntilLine("ignored 1 more entity places outside the world");
  tickUntilLine("ignored 3 more entity spawns beyond the 1024 tracked");
  const Lines lines = m_capture->out();
  for (const char* line : {"ignored entity 2 placed outside the world at 0, 3.35544e+07, 0",
                           "ignored spawn of entity 1026 beyond the 1024 tracked"})
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;

  // Room again once one has gone.
  TSPackets::DestroyEntity gone;
  gone.entityId = 1;
  serverSend(gone);
  serverSend(mob(5000, 0, 2048, 0));
  sync();
  EXPECT_TRUE(entities.contains(5000));
  EXPECT_EQ(entities.size(), EntityManager::MaxEntities);
}

} // namespace
