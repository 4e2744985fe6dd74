#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "FailingAllocations.h"
#include "ModelFixture.h"
#include "OutputCapture.h"
#include "world/VoxelModifier.h"

namespace {

TEST(WorldModel, FailuresLeaveTheBookkeepingWhole) {
  WorldModel world;
  const ChunkPosition chunk(2, 0, -2);
  // Every allocation of a load in turn fails, until one load gets through.
  for (long successes = 0;; ++successes) {
    SCOPED_TRACE(successes);
    failAnAllocation(successes);
    try {
      world.loadChunk(chunk);
    } catch (const std::bad_alloc&) {
    }
    const bool failed = allocationFailed();
    EXPECT_EQ(world.isLoaded(chunk), !failed);
    if (!failed)
      break;
  }

  OutputCapture capture;
  {
    VoxelModifier modifier(world, chunk);
    modifier.setVoxelAt(32, 5, -32, TSVoxel(1));
    failAnAllocation(0);
  }
  EXPECT_TRUE(allocationFailed());
  EXPECT_EQ(capture.err(), std::vector<std::string>{
                               "could not queue chunk 2, 0, -2 for meshing: std::bad_alloc"});
  EXPECT_EQ(voxelAt(world, {32, 5, -32}), TSVoxel(1));
}

} // namespace
