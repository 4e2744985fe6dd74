#ifndef WORLD_VOLUME_H
#define WORLD_VOLUME_H

#include <cstdint>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"

// The world's voxels: blocks of 32 voxels on a side, unbounded.
using WorldVolume = Vox::LargeVolume<TSVoxel>;

constexpr std::int32_t WorldVolumeBlockSide = 32;

// The limits of the world volume (the worker's private copy keeps the
// library's): blocks beyond them are dropped, least recently used first.
inline void configureWorldVolume(WorldVolume& volume) {
  volume.setMaxNumberOfBlocksInMemory(80000);
  volume.setMaxNumberOfUncompressedBlocks(800);
}

#endif
