#include <gtest/gtest.h>

#include "ColumnPacket.h"
#include "player/WorldBlocks.h"
#include "world/ChunkPackets.h"
#include "world/WorldModel.h"

namespace {

TEST(WorldBlocks, OnlyColumnsWhoseBlocksHaveArrivedAreKnown) {
  WorldModel world;
  TSPackets::Prechunk announce;
  announce.chunkX = 1;
  announce.chunkZ = 0;
  announce.mode = 1;
  ChunkPackets::apply(world, announce);
  {
    const WorldBlocks blocks(world);
    EXPECT_FALSE(blocks.blockAt(20, 64, 5)) << "announced, no blocks yet";
    EXPECT_FALSE(blocks.blockAt(-3, 64, 5)) << "never announced";
  }
  ChunkPackets::apply(world, columnPacket({1, 0, 0}, [](int, int y, int) { return y < 64 ? 1 : 0; }));
  const WorldBlocks blocks(world);
  EXPECT_EQ(blocks.blockAt(20, 63, 5), 1);
  EXPECT_EQ(blocks.blockAt(20, 64, 5), 0);
  EXPECT_EQ(blocks.blockAt(20, -1, 5), 0) << "below the world";
  EXPECT_EQ(blocks.blockAt(20, 200, 5), 0) << "above the world";
}

} // namespace
