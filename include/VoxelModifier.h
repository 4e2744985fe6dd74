#ifndef VOXEL_MODIFIER_H
#define VOXEL_MODIFIER_H

#include <mutex>

#include "ChunkPosition.h"
#include "TSVoxel.h"

class WorldManager;

// A scoped edit of the world volume: holds the volume lock while it lives
// and, when it ends (also through an exception), has the edited chunk and its
// neighbours re-meshed before releasing the lock. A failure to do so is
// reported on standard error, never thrown.
class VoxelModifier {
public:
  VoxelModifier(WorldManager& worldManager, ChunkPosition chunkPos);
  ~VoxelModifier();
  VoxelModifier(const VoxelModifier&) = delete;
  VoxelModifier& operator=(const VoxelModifier&) = delete;

  void setVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z, TSVoxel voxel);

private:
  std::lock_guard<std::mutex> m_lock;
  WorldManager& m_worldManager;
  ChunkPosition m_chunkPos;
};

#endif
