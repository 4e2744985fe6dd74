#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;

// A pattern with runs of various lengths and a reserved byte that differs.
TSVoxel patternAt(int x, int y, int z) {
  TSVoxel voxel(std::uint8_t((x / 3 + y * 7 + z) % 5));
  voxel.m_reserved = (x + y + z) % 11 == 0;
  return voxel;
}

// Reads, and writes of air, leave the volume as it is: a server's world
// walked over or meshed at its borders takes no memory for the air around.
TEST(LargeVolumeTest, BlocksComeIntoBeingOnlyForVoxelsOtherThanAir) {
  Volume volume(32);
  EXPECT_EQ(volume.getVoxelAt(5, 6, 7), TSVoxel());
  std::vector<TSVoxel> read(40 * 40 * 40, TSVoxel(9));
  volume.readRegion(Vox::Region({-20, -20, -20}, {19, 19, 19}), read.data());
  EXPECT_EQ(read, std::vector<TSVoxel>(read.size()));
  volume.setVoxelAt(100, 100, 100, TSVoxel());
  volume.writeRegion(Vox::Region({-20, -20, -20}, {19, 19, 19}), read.data());
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 0u);
  EXPECT_EQ(volume.memoryInBytes(), 0u);

  EXPECT_TRUE(volume.setVoxelAt(40, 0, 0, TSVoxel(3)));
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 1u);
  EXPECT_EQ(volume.getVoxelAt(40, 0, 0), TSVoxel(3));
  EXPECT_EQ(volume.getVoxelAt(Vox::Vector3DInt32(41, 0, 0)), TSVoxel());
  EXPECT_EQ(volume.getVoxelAt(5, 6, 7), TSVoxel());
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 1u);
  EXPECT_GT(volume.memoryInBytes(), 0u);
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

TEST(LargeVolumeTest, LeastRecentlyUsedBlocksBeyondTheMemoryLimitAreDroppedWithTheirData) {
  Volume volume(8);
  volume.setVoxelAt(0, 0, 0, TSVoxel(1));  // block A
  volume.setVoxelAt(8, 0, 0, TSVoxel(2));  // block B
  // Two blocks of the same form take the same memory: the limit holds two.
  volume.setMemoryLimit(volume.memoryInBytes());
  EXPECT_EQ(volume.getVoxelAt(1, 1, 1), TSVoxel()); // A used last
  volume.setVoxelAt(-8, 0, 0, TSVoxel(3)); // block C drops B

  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);
  EXPECT_EQ(volume.getVoxelAt(0, 0, 0), TSVoxel(1));
  EXPECT_EQ(volume.getVoxelAt(-8, 0, 0), TSVoxel(3));
  EXPECT_EQ(volume.getVoxelAt(8, 0, 0), TSVoxel()); // B is gone, and reads as air
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 2u);

  // Lowering the limit drops the excess at once, down to the block in use.
  volume.setMemoryLimit(1);
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 1u);
  EXPECT_EQ(volume.getVoxelAt(-8, 0, 0), TSVoxel(3));
  EXPECT_EQ(volume.getVoxelAt(0, 0, 0), TSVoxel());
}

// Alternating voxels compress to more than their plain size: the limit counts
// what blocks take, whatever their form, so such blocks cannot pile up.
TEST(LargeVolumeTest, TheMemoryLimitHoldsForBlocksThatCompressBadly) {
  Volume volume(16);
  volume.setMaxNumberOfUncompressedBlocks(2);
  const std::size_t limit = 1 << 20;
  volume.setMemoryLimit(limit);
  const auto checkerboard = [](int x, int y, int z) { return TSVoxel(std::uint8_t(1 + (x + y + z) % 2)); };
  std::size_t highest = 0;
  for (int block = 0; block < 64; ++block) {
    const int x0 = block * 16;
    for (int x = x0; x < x0 + 16; ++x)
      for (int z = 0; z < 16; ++z)
        for (int y = 0; y < 16; ++y)
          volume.setVoxelAt(x, y, z, checkerboard(x, y, z));
    highest = std::max(highest, volume.memoryInBytes());
  }
  EXPECT_LE(highest, limit);
  EXPECT_LT(volume.getNumberOfBlocksInMemory(), 64u);
  // The blocks written last are all there.
  for (int x = 63 * 16; x < 64 * 16; ++x)
    for (int z = 0; z < 16; ++z)
      for (int y = 0; y < 16; ++y)
        ASSERT_EQ(volume.getVoxelAt(x, y, z), checkerboard(x, y, z)) << x << ", " << y << ", " << z;
  EXPECT_LE(volume.memoryInBytes(), limit);
}

// Erasing a region frees the blocks it covers and those it leaves all air,
// in whatever form they are, and keeps every other voxel of the blocks it
// touches.
TEST(LargeVolumeTest, ErasedRegionsGiveTheirMemoryBack) {
  struct Case {
    const char* label;
    // The form of the blocks before the erase.
    std::size_t uncompressed;
  };
  for (const Case& c : {Case{"compressed", 1}, Case{"uncompressed", 64}}) {
    SCOPED_TRACE(c.label);
    Volume volume(8);
    volume.setMaxNumberOfUncompressedBlocks(std::uint32_t(c.uncompressed));
    volume.setVoxelAt(-5, 0, 0, TSVoxel(5)); // next to the region, in a block it touches
    volume.setVoxelAt(40, 40, 40, TSVoxel(6)); // far from it
    const std::size_t before = volume.memoryInBytes();
    const std::size_t blocksBefore = volume.getNumberOfBlocksInMemory();
    // A region that covers two blocks along x and half of the one before.
    const Vox::Region region({-4, 0, 0}, {15, 7, 7});
    std::vector<TSVoxel> in;
    for (int x = -4; x <= 15; ++x)
      for (int z = 0; z <= 7; ++z)
        for (int y = 0; y <= 7; ++y)
          in.push_back(patternAt(x + 7, y, z));
    volume.writeRegion(region, in.data());
    EXPECT_GT(volume.memoryInBytes(), before);

    volume.eraseRegion(region);
    // The block beside may have changed its form.
    EXPECT_LE(volume.memoryInBytes(), before + 8 * 8 * 8 * sizeof(TSVoxel));
    EXPECT_EQ(volume.getNumberOfBlocksInMemory(), blocksBefore);
    EXPECT_EQ(volume.getVoxelAt(-5, 0, 0), TSVoxel(5));
    EXPECT_EQ(volume.getVoxelAt(40, 40, 40), TSVoxel(6));
    std::vector<TSVoxel> out(in.size(), TSVoxel(9));
    volume.readRegion(region, out.data());
    EXPECT_EQ(out, std::vector<TSVoxel>(in.size()));

    // Without the voxel beside it, its block goes as well.
    volume.setVoxelAt(-5, 0, 0, TSVoxel());
    volume.eraseRegion(Vox::Region({-8, 0, 0}, {-2, 7, 7}));
    EXPECT_EQ(volume.getNumberOfBlocksInMemory(), blocksBefore - 1);
    EXPECT_EQ(volume.getVoxelAt(40, 40, 40), TSVoxel(6));
  }
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
  const std::vector<TSVoxel> stone(8 * 8 * 8, TSVoxel(1));
  volume.writeRegion(Vox::Region({0, 0, 0}, {7, 7, 7}), stone.data());
  EXPECT_EQ(volume.getNumberOfBlocksInMemory(), 8u);
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 0u);

  volume.setVoxelAt(1, 1, 1, TSVoxel(2));
  EXPECT_EQ(volume.getNumberOfUncompressedBlocks(), 1u);
  const std::size_t withUncompressed = volume.calculateSizeInBytes();
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
