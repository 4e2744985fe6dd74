#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ChunkPosition.h"
#include "TSVoxel.h"
#include "WorldBounds.h"

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

// What the server sends is checked against these bounds; what the player
// walks to is held within them; and any coordinate at all has a column.
TEST(WorldBoundsTest, PositionsWithinTheWorldAndTheColumnOfAnyPoint) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double edge = WorldBounds::HorizontalLimit;
  const double top = WorldBounds::HeightLimit;
  struct Case {
    double x, y, z;
    bool inside;
    ChunkPosition column;
  };
  const Case cases[] = {
      {8.5, 70, -7.25, true, {0, 0, -1}},
      {-edge, -top, edge, true, {-134217712, 0, 134217712}},
      {std::nextafter(-edge, -inf), 0, 0, false, {-134217712, 0, 0}},
      {0, std::nextafter(top, inf), 0, false, {0, 0, 0}},
      {0, 0, 2147483648.0, false, {0, 0, 134217712}},
      {1e300, 0, -1e300, false, {134217712, 0, -134217712}},
      {inf, 64, -inf, false, {134217712, 0, -134217712}},
      {nan, 64, 16, false, {0, 0, 1}},
      {0, nan, 0, false, {0, 0, 0}},
      {0, -inf, 0, false, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
    EXPECT_EQ(WorldBounds::contains(c.x, c.y, c.z), c.inside);
    EXPECT_EQ(WorldBounds::columnOf(c.x, c.z), c.column);
    // The camera's single precision gives the same column.
    EXPECT_EQ(WorldBounds::columnOf(float(c.x), float(c.z)), c.column);
  }
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
