#include <gtest/gtest.h>

#include <set>

#include "server/MobHerd.h"

using Server::MobHerd;

namespace {

std::vector<std::string> story(std::int64_t seed, int steps) {
  Terrain::TerrainGenerator terrain(seed);
  MobHerd herd(terrain, seed, 4, 8, 8, 1000);
  std::vector<std::string> packets = herd.spawnPackets();
  for (int i = 0; i < steps; ++i)
    for (auto& packet : herd.step())
      packets.push_back(packet);
  return packets;
}

} // namespace

TEST(MobHerd, SpawnsEveryKindOnTheSurface) {
  Terrain::TerrainGenerator terrain(3);
  MobHerd herd(terrain, 3, 4, 8, 8, 1000);
  std::set<int> types;
  for (const auto& mob : herd.mobs()) {
    types.insert(mob.type);
    const int x = mob.position.x >> 5, z = mob.position.z >> 5;
    EXPECT_EQ(mob.position.y, 32 * Server::surfaceY(terrain, x, z));
    EXPECT_NE(terrain.block(x, (mob.position.y >> 5) - 1, z), Terrain::Air);
  }
  EXPECT_EQ(types, (std::set<int>{50, 51, 90}));
  ASSERT_EQ(herd.spawnPackets().size(), 4u);
  // MobSpawn: id, entity id, type, x, y, z, yaw, pitch, metadata ending in 0x7F.
  const std::string spawn = herd.spawnPackets()[0];
  EXPECT_EQ(static_cast<unsigned char>(spawn[0]), 0x18);
  EXPECT_EQ(static_cast<unsigned char>(spawn.back()), 0x7F);
}

TEST(MobHerd, TheSameSeedTellsTheSameStory) {
  EXPECT_EQ(story(11, 50), story(11, 50));
  EXPECT_NE(story(11, 50), story(12, 50));
}

TEST(MobHerd, MobsMoveLookTeleportAndComeBackUnderNewIds) {
  std::set<unsigned char> ids;
  for (const std::string& packet : story(5, 400))
    ids.insert(static_cast<unsigned char>(packet[0]));
  for (unsigned char id : {0x18, 0x1C, 0x1D, 0x1F, 0x20, 0x21, 0x22})
    EXPECT_EQ(ids.count(id), 1u) << std::hex << int(id);

  Terrain::TerrainGenerator terrain(5);
  MobHerd herd(terrain, 5, 4, 8, 8, 1000);
  for (int i = 0; i < 400; ++i)
    herd.step();
  int maxId = 0;
  for (const auto& mob : herd.mobs()) {
    maxId = std::max(maxId, mob.entityId);
    EXPECT_LE(std::abs((mob.position.x >> 5) - 8), 25);
    EXPECT_LE(std::abs((mob.position.z >> 5) - 8), 25);
  }
  EXPECT_GT(maxId, 1003);
}
