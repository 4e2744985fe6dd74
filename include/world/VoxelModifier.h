#ifndef WORLD_VOXEL_MODIFIER_H
#define WORLD_VOXEL_MODIFIER_H

#include <mutex>

#include "ChunkPosition.h"
#include "TSVoxel.h"

class WorldModel;

// A scoped write of a chunk's blocks into the world volume: holds the volume
// lock while it lives and, when it ends (also through an exception), tells
// the world that the chunk's blocks have arrived before releasing the lock,
// so that it and its neighbours are meshed again. A failure to do so is
// reported on standard error, never thrown.
class VoxelModifier {
public:
  VoxelModifier(WorldModel& world, ChunkPosition chunkPos);
  ~VoxelModifier();
  VoxelModifier(const VoxelModifier&) = delete;
  VoxelModifier& operator=(const VoxelModifier&) = delete;

  void setVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z, TSVoxel voxel);

private:
  std::lock_guard<std::mutex> m_lock;
  WorldModel& m_world;
  ChunkPosition m_chunkPos;
};

#endif
