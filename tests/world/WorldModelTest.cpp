// The world model with its mesh worker, without a window: what an unload
// forgets and when columns are meshed.

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "ModelFixture.h"
#include "MutexWaiters.h"
#include "world/VoxelModifier.h"

namespace {

// A slope of stone over the chunk, so that its mesh has a surface.
void fillChunk(WorldModel& world, ChunkPosition chunk) {
  const Vox::Vector3DInt32 lower = chunkLowerCorner(chunk);
  VoxelModifier modifier(world, chunk);
  for (int x = 0; x < ChunkSizeX; ++x)
    for (int z = 0; z < ChunkSizeZ; ++z)
      for (int y = 0; y < 40 + x + z; ++y)
        modifier.setVoxelAt(lower.x + x, y, lower.z + z, TSVoxel(1));
}

std::size_t indexCount(const Mesh& mesh) {
  std::size_t count = 0;
  for (const TerrainMesh& section : mesh->sections)
    count += section.indexCount();
  return count;
}

// Chunks caught at every stage of their meshing are unloaded: waiting for
// neighbours, with a finished mesh not drawn yet, queued for the worker and
// in the worker's hands. Nothing of them is left, nothing made for them
// arrives later, and loaded again they start as new chunks.
TEST(WorldModel, UnloadForgetsEverythingAndALoadAgainStartsAfresh) {
  WorldModel world;
  const ChunkPosition waiting(0, 0, 0), finished(3, 0, 0), queued(6, 0, 0), inProgress(9, 0, 0),
      marker(20, 0, 20);
  const std::vector<ChunkPosition> chunks = {waiting, finished, queued, inProgress};
  for (ChunkPosition chunk : chunks)
    world.loadChunk(chunk);
  world.loadChunk(marker);

  world.remesh(finished);
  ASSERT_TRUE(waitForFinishedMesh(world, finished, WorldModel::Clock::now()));
  fillChunk(world, waiting);
  ASSERT_TRUE(world.meshing().waitsForNeighbours(waiting));
  {
    // The worker takes the chunk in progress and waits for the volume to
    // copy its blocks; the queued chunk waits behind it.
    std::unique_lock<std::mutex> lock(world.volumeMutex());
    world.remesh(inProgress);
    ASSERT_TRUE(waitUntilAThreadBlocksOn(world.volumeMutex()));
    world.remesh(queued);

    const ChunkStates before = world.chunks();
    for (ChunkPosition chunk : chunks)
      world.unloadChunk(chunk);
    for (ChunkPosition chunk : chunks) {
      EXPECT_FALSE(world.isLoaded(chunk));
      EXPECT_FALSE(world.meshing().meshLevel(chunk)) << chunk.x;
      EXPECT_FALSE(world.meshing().waitsForNeighbours(chunk)) << chunk.x;
    }
    EXPECT_TRUE(world.finishedMeshes().empty());

    for (ChunkPosition chunk : chunks)
      world.loadChunk(chunk);
    for (ChunkPosition chunk : chunks) {
      EXPECT_NE(world.chunks().at(chunk).load, before.at(chunk).load) << chunk.x;
      EXPECT_FALSE(world.chunks().at(chunk).hasBlocks) << chunk.x;
      EXPECT_FALSE(world.meshing().meshLevel(chunk)) << chunk.x;
      EXPECT_FALSE(world.meshing().waitsForNeighbours(chunk)) << chunk.x;
    }
  }
  EXPECT_TRUE(meshesUpTo(world, marker, afterEveryWait()).empty());

  // New blocks are meshed as those of any new chunk.
  fillChunk(world, waiting);
  const std::map<ChunkPosition, Mesh> meshes = meshesUpTo(world, marker, afterEveryWait());
  ASSERT_EQ(meshes.size(), 1u);
  EXPECT_FALSE(meshes.at(waiting)->empty());
}

TEST(WorldModel, EachColumnIsMeshedOnceItsNeighboursHaveArrived) {
  WorldModel world;
  const ChunkPosition middle(1, 0, 1), marker(20, 0, 20);
  std::vector<ChunkPosition> grid;
  for (int x = 0; x < 3; ++x)
    for (int z = 0; z < 3; ++z) {
      grid.emplace_back(x, 0, z);
      world.loadChunk(grid.back());
    }
  world.loadChunk(marker);
  for (ChunkPosition chunk : grid)
    fillChunk(world, chunk);
  const WorldModel::Clock::time_point filled = WorldModel::Clock::now();

  // The middle column has all its neighbours at once; the others wait for
  // neighbours outside the grid until the stream of blocks pauses.
  std::map<ChunkPosition, Mesh> meshes = meshesUpTo(world, marker, filled);
  ASSERT_EQ(meshes.size(), 1u);
  const std::size_t indices = indexCount(meshes.at(middle));
  EXPECT_GT(indices, 0u);
  meshes = meshesUpTo(world, marker, afterEveryWait());
  EXPECT_EQ(meshes.size(), grid.size() - 1);
  EXPECT_EQ(meshes.count(middle), 0u);
  EXPECT_TRUE(meshesUpTo(world, marker, afterEveryWait()).empty());

  // The middle's mesh was the one with every neighbour.
  world.remesh(middle);
  meshes = meshesUpTo(world, marker, afterEveryWait());
  ASSERT_EQ(meshes.count(middle), 1u);
  EXPECT_EQ(indexCount(meshes.at(middle)), indices);
}

} // namespace
