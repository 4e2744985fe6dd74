#include <gtest/gtest.h>

#include "ChunkPosition.h"
#include "TSVoxel.h"

namespace {

TEST(ChunkArithmetic, BlockToChunkIsFloorDivision) {
  struct Case {
    Vox::Vector3DInt32 block;
    ChunkPosition chunk;
  };
  const Case cases[] = {
      {{-1, 5, -1}, {-1, 0, -1}},   {{15, 127, 15}, {0, 0, 0}}, {{16, 0, 0}, {1, 0, 0}},
      {{-16, 0, -17}, {-1, 0, -2}}, {{0, 0, 0}, {0, 0, 0}},     {{-32, 64, 48}, {-2, 0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.block.x << ", " << c.block.y << ", " << c.block.z);
    EXPECT_EQ(chunkOfBlock(c.block.x, c.block.y, c.block.z), c.chunk);
  }
}

TEST(ChunkArithmetic, LowerCornerIsTheChunksFirstBlock) {
  EXPECT_EQ(chunkLowerCorner({-2, 0, 3}), Vox::Vector3DInt32(-32, 0, 48));
  EXPECT_EQ(chunkLowerCorner({1, 0, -1}), Vox::Vector3DInt32(16, 0, -16));
  const Vox::Vector3DInt32 corner = chunkLowerCorner({-1, 0, -1});
  EXPECT_EQ(chunkOfBlock(corner.x, corner.y, corner.z), ChunkPosition(-1, 0, -1));
  EXPECT_EQ(chunkOfBlock(corner.x + 15, corner.y + 127, corner.z + 15),
            ChunkPosition(-1, 0, -1));
}

TEST(TSVoxelTest, EqualityComparesBothBytes) {
  TSVoxel reserved(3);
  reserved.m_reserved = 1;
  EXPECT_EQ(TSVoxel(3), TSVoxel(3));
  EXPECT_NE(TSVoxel(3), TSVoxel(4));
  EXPECT_NE(TSVoxel(3), reserved);
  EXPECT_EQ(TSVoxel(), TSVoxel(0));
}

TEST(TSVoxelTest, OnlyAirIsBelowTheThreshold) {
  EXPECT_EQ(TSVoxel().getDensity(), 0);
  EXPECT_LT(TSVoxel().getDensity(), TSVoxel::getThreshold());
  for (int type = 1; type <= 255; ++type) {
    SCOPED_TRACE(type);
    const TSVoxel voxel(static_cast<std::uint8_t>(type));
    EXPECT_EQ(voxel.getDensity(), 2);
    EXPECT_GE(voxel.getDensity(), TSVoxel::getThreshold());
    EXPECT_EQ(voxel.getMaterial(), type);
  }
  TSVoxel air;
  air.setDensity(2);
  EXPECT_EQ(air.getDensity(), 0);
}

} // namespace
