#include "world/VoxelModifier.h"

#include <exception>
#include <iostream>

#include "world/WorldModel.h"

VoxelModifier::VoxelModifier(WorldModel& world, ChunkPosition chunkPos)
    : m_lock(world.volumeMutex()), m_world(world), m_chunkPos(chunkPos) {}

// A destructor must not throw: the edit stays in the volume, and the chunk is
// meshed again with the next edit near it.
VoxelModifier::~VoxelModifier() {
  try {
    m_world.blocksArrived(m_chunkPos);
  } catch (const std::exception& error) {
    std::cerr << "could not queue chunk " << m_chunkPos.x << ", " << m_chunkPos.y << ", "
              << m_chunkPos.z << " for meshing: " << error.what() << std::endl;
  }
}

void VoxelModifier::setVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z, TSVoxel voxel) {
  m_world.volume().setVoxelAt(x, y, z, voxel);
}
