#include "VoxelModifier.h"

#include "WorldManager.h"

VoxelModifier::VoxelModifier(WorldManager& worldManager, ChunkPosition chunkPos)
    : m_lock(worldManager.volumeMutex()), m_worldManager(worldManager), m_chunkPos(chunkPos) {}

VoxelModifier::~VoxelModifier() { m_worldManager.updateChunk(m_chunkPos, true); }

void VoxelModifier::setVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z, TSVoxel voxel) {
  m_worldManager.volume().setVoxelAt(x, y, z, voxel);
}
