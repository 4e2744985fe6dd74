#include "ModelFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

WorldModel::Clock::time_point afterEveryWait() {
  return WorldModel::Clock::now() + MeshScheduler::NeighbourWait + MeshScheduler::QuietWait;
}

std::map<ChunkPosition, Mesh> meshesUpTo(WorldModel& world, ChunkPosition marker,
                                         WorldModel::Clock::time_point now,
                                         ChunkPosition eyeColumn) {
  // What is due at `now` is asked for before the marker.
  world.update(eyeColumn, now);
  world.remesh(marker);
  std::map<ChunkPosition, Mesh> meshes;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (meshes.count(marker) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the marker's mesh did not arrive";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    world.update(eyeColumn, now);
    std::vector<ChunkPosition> finished;
    for (const auto& mesh : world.finishedMeshes())
      finished.push_back(mesh.first);
    for (ChunkPosition chunk : finished)
      meshes[chunk] = world.takeFinishedMesh(chunk);
  }
  meshes.erase(marker);
  return meshes;
}

bool waitForFinishedMesh(WorldModel& world, ChunkPosition chunk,
                         WorldModel::Clock::time_point now) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (world.finishedMeshes().count(chunk) == 0) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    world.update({0, 0, 0}, now);
  }
  return true;
}

TSVoxel voxelAt(WorldModel& world, Vox::Vector3DInt32 block) {
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  return world.volume().getVoxelAt(block);
}
