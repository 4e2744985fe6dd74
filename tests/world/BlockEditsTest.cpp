#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <vector>

#include "world/BlockEdits.h"

namespace {

TEST(BlockEdits, ChunksReadingABlockAreItsOwnAndThoseWhoseMeshReachesIt) {
  struct Case {
    Vox::Vector3DInt32 block;
    std::set<ChunkPosition> chunks;
  };
  const int max = std::numeric_limits<int>::max();
  const std::vector<Case> cases = {
      {{8, 64, 8}, {{0, 0, 0}}},
      {{2, 0, 13}, {{0, 0, 0}}},
      {{1, 5, 8}, {{-1, 0, 0}, {0, 0, 0}}},
      {{14, 127, 8}, {{0, 0, 0}, {1, 0, 0}}},
      {{16, 5, 8}, {{0, 0, 0}, {1, 0, 0}}},
      {{15, 4, 15}, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 0, 1}}},
      // Floor division below zero: block -1 lies in chunk -1, -17 in -2.
      {{-1, 0, -17}, {{-1, 0, -2}, {-1, 0, -1}, {0, 0, -2}, {0, 0, -1}}},
      {{max, 0, 8}, {{max >> 4, 0, 0}, {(max >> 4) + 1, 0, 0}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(chunksReading(c.block), c.chunks)
        << c.block.x << ", " << c.block.y << ", " << c.block.z;
}

TEST(BlockEdits, MultiBlockRecordsLandInTheirChunkAndOutsideOnesAreCounted) {
  TSPackets::MultiBlockChange packet;
  packet.chunkX = -2;
  packet.chunkZ = 3;
  // As the packet holds them: y of 128 and above reads as a negative byte.
  packet.blockX = {0, 15, 3, 4, 16};
  packet.blockY = {0, 127, static_cast<signed char>(200), 9, 1};
  packet.blockZ = {0, 15, 5, 6, 0};
  packet.types = {7, static_cast<signed char>(0xFF), 1, 0, 2};
  packet.metadata = {0, 0, 0, 0, 0};
  std::size_t outside = 99;
  const std::vector<BlockEdit> edits = multiBlockEdits(packet, outside);
  EXPECT_EQ(outside, 2u);
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].block, Vox::Vector3DInt32(-32, 0, 48));
  EXPECT_EQ(edits[0].voxel, TSVoxel(7));
  EXPECT_EQ(edits[1].block, Vox::Vector3DInt32(-17, 127, 63));
  EXPECT_EQ(edits[1].voxel, TSVoxel(255));
  EXPECT_EQ(edits[2].block, Vox::Vector3DInt32(-28, 9, 54));
  EXPECT_EQ(edits[2].voxel, TSVoxel(0));
}

} // namespace
