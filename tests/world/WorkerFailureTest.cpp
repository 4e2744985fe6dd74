#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "FailingAllocations.h"
#include "OutputCapture.h"
#include "world/MeshWorker.h"

namespace {

// Takes the next finished mesh, waiting for it up to a generous limit.
bool nextMesh(MeshWorker& worker, ChunkPosition& position, Mesh& mesh) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!worker.takeFinished(position, mesh)) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST(WorkerFailure, AChunkThatCannotBeMeshedIsReportedAndSkipped) {
  std::mutex volumeMutex;
  WorldVolume volume(WorldVolumeBlockSide);
  {
    std::lock_guard<std::mutex> lock(volumeMutex);
    for (int x = 0; x < ChunkSizeX; ++x)
      for (int z = 0; z < ChunkSizeZ; ++z)
        volume.setVoxelAt(x, 0, z, TSVoxel(1));
  }
  OutputCapture capture;
  MeshWorker worker(volumeMutex, volume);
  // Only the worker allocates this much: the first such allocation of its
  // first chunk fails.
  failAnAllocation(0, 4096);
  worker.queueChunkForUpdate({0, 0, 0});
  worker.queueChunkForUpdate({0, 0, 1});

  ChunkPosition position;
  Mesh mesh;
  ASSERT_TRUE(nextMesh(worker, position, mesh));
  EXPECT_TRUE(allocationFailed());
  EXPECT_EQ(position, ChunkPosition(0, 0, 1));
  worker.queueChunkForUpdate({0, 0, 0});
  ASSERT_TRUE(nextMesh(worker, position, mesh));
  EXPECT_EQ(position, ChunkPosition(0, 0, 0));
  EXPECT_FALSE(mesh->empty());
  EXPECT_EQ(capture.err(),
            std::vector<std::string>{"could not mesh chunk 0, 0, 0: std::bad_alloc"});
}

} // namespace
