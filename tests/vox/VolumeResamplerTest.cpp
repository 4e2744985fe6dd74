#include <gtest/gtest.h>

#include <cstdint>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"
#include "vox/VolumeResampler.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;
using Resampler = Vox::VolumeResampler<Volume, Volume>;

std::uint8_t typeAt(int x, int y, int z) { return std::uint8_t((x * 3 + y * 5 + z * 7) & 3); }

TEST(VolumeResamplerTest, CopiesEveryVoxelOfTheRegionAndNothingElse) {
  Volume source(8);
  Volume destination(4);
  destination.setMaxNumberOfUncompressedBlocks(2);
  for (int z = -20; z < 20; ++z)
    for (int y = -20; y < 20; ++y)
      for (int x = -20; x < 20; ++x)
        source.setVoxelAt(x, y, z, TSVoxel(typeAt(x, y, z)));
  destination.setVoxelAt(100, 0, 0, TSVoxel(9));
  destination.setVoxelAt(102, 3, 2, TSVoxel(9)); // inside the target, overwritten

  const Vox::Region from({-13, -9, -7}, {10, 2, 5});
  const Vox::Vector3DInt32 shift(113, 12, 9);
  const Vox::Region to(from.getLowerCorner() + shift, from.getUpperCorner() + shift);
  Resampler(&source, from, &destination, to).execute();

  for (int z = -7; z <= 5; ++z)
    for (int y = -9; y <= 2; ++y)
      for (int x = -13; x <= 10; ++x)
        ASSERT_EQ(destination.getVoxelAt(x + shift.x, y + shift.y, z + shift.z).m_type,
                  typeAt(x, y, z))
            << x << ", " << y << ", " << z;
  EXPECT_EQ(destination.getVoxelAt(100, 0, 0), TSVoxel(9));
  EXPECT_EQ(destination.getVoxelAt(to.getUpperCorner() + Vox::Vector3DInt32(1, 0, 0)), TSVoxel());
}

TEST(VolumeResamplerTest, RegionsOfDifferentSizesAreRefused) {
  Volume source(8);
  Volume destination(8);
  Resampler copy(&source, Vox::Region({0, 0, 0}, {3, 3, 3}), &destination,
                 Vox::Region({0, 0, 0}, {3, 4, 3}));
  EXPECT_THROW(copy.execute(), std::invalid_argument);
}

} // namespace
