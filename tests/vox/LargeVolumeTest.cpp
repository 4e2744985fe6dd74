#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;

TEST(LargeVolumeTest, BlocksComeIntoBeingAsAirOnFirstReadOrWrite) {
  Volume volume(32);
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 0u);
  EXPECT_EQ(volume.getVoxelAt(5, 6, 7), TSVoxel());
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 1u);

  EXPECT_TRUE(volume.setVoxelAt(40, 0, 0, TSVoxel(3)));
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);
  EXPECT_EQ(volume.getVoxelAt(40, 0, 0), TSVoxel(3));
  EXPECT_EQ(volume.getVoxelAt(Vox::Vector3DInt32(41, 0, 0)), TSVoxel());
  // Writing air into an untouched block keeps it compressed.
  volume.setVoxelAt(100, 100, 100, TSVoxel());
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 1u);
}

TEST(LargeVolumeTest, CoordinatesOnEverySideOfBlockBordersKeepTheirVoxels) {
  Volume volume(32);
  const std::int32_t min = std::numeric_limits<std::int32_t>::min();
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const Vox::Vector3DInt32 points[] = {
      {0, 0, 0},      {-1, 0, 0},       {0, -1, 0},      {0, 0, -1},       {-1, -1, -1},
      {31, 31, 31},   {32, 32, 32},     {-32, -32, -32}, {-33, 5, -17},    {min, min, min},
      {max, max, max}, {min, 0, max},   {-1000, 64, 999},
  };
  std::uint8_t type = 1;
  for (const Vox::Vector3DInt32& p : points)
    volume.setVoxelAt(p, TSVoxel(type++));
  type = 1;
  for (const Vox::Vector3DInt32& p : points) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.y << ", " << p.z);
    EXPECT_EQ(volume.getVoxelAt(p).m_type, type++);
  }
  EXPECT_EQ(volume.getVoxelAt(-2, 0, 0), TSVoxel());
  EXPECT_EQ(volume.getVoxelAt(1, 0, 0), TSVoxel());
}

TEST(LargeVolumeTest, LeastRecentlyUsedBlockBeyondTheLimitIsDroppedWithItsData) {
  Volume volume(8);
  volume.setMaxNumberOfBlocksInMemory(2);
  volume.setVoxelAt(0, 0, 0, TSVoxel(1));  // block A
  volume.setVoxelAt(8, 0, 0, TSVoxel(2));  // block B
  EXPECT_EQ(volume.getVoxelAt(1, 1, 1), TSVoxel()); // A used last
  volume.setVoxelAt(-8, 0, 0, TSVoxel(3)); // block C drops B

  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);
  EXPECT_EQ(volume.getVoxelAt(0, 0, 0), TSVoxel(1));
  EXPECT_EQ(volume.getVoxelAt(-8, 0, 0), TSVoxel(3));
  EXPECT_EQ(volume.getVoxelAt(8, 0, 0), TSVoxel()); // B is back, as air
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);

  // Lowering the limit drops the excess at once.
  volume.setMaxNumberOfBlocksInMemory(1);
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 1u);
  EXPECT_EQ(volume.getVoxelAt(8, 0, 0), TSVoxel());
}

// A pattern with runs of various lengths and a reserved byte that differs.
TSVoxel patternAt(int x, int y, int z) {
  TSVoxel voxel(std::uint8_t((x / 3 + y * 7 + z) % 5));
  voxel.m_reserved = (x + y + z) % 11 == 0;
  return voxel;
}

TEST(LargeVolumeTest, CompressedBlocksKeepEveryVoxel) {
  Volume volume(8);
  volume.setMaxNumberOfUncompressedBlocks(1);
  for (int z = 0; z < 16; ++z)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        volume.setVoxelAt(x, y, z, patternAt(x, y, z));
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 1u);
  volume.setMaxNumberOfUncompressedBlocks(2);
  for (int round = 0; round < 2; ++round)
    for (int z = 0; z < 16; ++z)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(volume.getVoxelAt(x, y, z), patternAt(x, y, z)) << x << ", " << y << ", " << z;
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 2u);

  volume.setMaxNumberOfUncompressedBlocks(1);
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 1u);
  EXPECT_EQ(volume.getVoxelAt(7, 7, 15), patternAt(7, 7, 15));
  EXPECT_EQ(volume.getVoxelAt(7, 7, 7), patternAt(7, 7, 7));
}

TEST(LargeVolumeTest, RegionsReadAndWriteAcrossBlocksInDenseOrderYThenZThenX) {
  Volume volume(4);
  volume.setMaxNumberOfUncompressedBlocks(3);
  const Vox::Region region({-5, -2, -3}, {6, 4, 1});
  std::vector<TSVoxel> in;
  for (int x = -5; x <= 6; ++x)
    for (int z = -3; z <= 1; ++z)
      for (int y = -2; y <= 4; ++y)
        in.push_back(patternAt(x + 5, y + 2, z + 3));
  volume.writeRegion(region, in.data());

  std::size_t i = 0;
  for (int x = -5; x <= 6; ++x)
    for (int z = -3; z <= 1; ++z)
      for (int y = -2; y <= 4; ++y)
        ASSERT_EQ(volume.getVoxelAt(x, y, z), in[i++]) << x << ", " << y << ", " << z;
  EXPECT_EQ(volume.getVoxelAt(-6, 0, 0), TSVoxel());
  EXPECT_EQ(volume.getVoxelAt(0, 5, 0), TSVoxel());

  std::vector<TSVoxel> out(in.size());
  volume.readRegion(region, out.data());
  EXPECT_EQ(out, in);
}

TEST(LargeVolumeTest, UniformRegionWritesKeepBlocksCompressed) {
  Volume volume(4);
  const std::vector<TSVoxel> air(8 * 8 * 8);
  volume.writeRegion(Vox::Region({0, 0, 0}, {7, 7, 7}), air.data());
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 0u);

  volume.setVoxelAt(1, 1, 1, TSVoxel(2));
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 1u);
  const std::size_t withUncompressed = volume.calculateSizeInBytes();
  const std::vector<TSVoxel> stone(8 * 8 * 8, TSVoxel(1));
  volume.writeRegion(Vox::Region({0, 0, 0}, {7, 7, 7}), stone.data());
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 0u);
  EXPECT_LT(volume.calculateSizeInBytes(), withUncompressed);
  EXPECT_EQ(volume.getVoxelAt(1, 1, 1), TSVoxel(1));
  EXPECT_EQ(volume.getVoxelAt(8, 8, 8), TSVoxel());
}

TEST(LargeVolumeTest, SideLengthMustBeAPowerOfTwo) {
  EXPECT_THROW(Volume(0), std::invalid_argument);
  EXPECT_THROW(Volume(12), std::invalid_argument);
  EXPECT_NO_THROW(Volume(1));
}

} // namespace
