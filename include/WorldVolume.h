#ifndef WORLD_VOLUME_H
#define WORLD_VOLUME_H

#include <cstddef>
#include <cstdint>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"

// The world's voxels: blocks of 32 voxels on a side, unbounded.
using WorldVolume = Vox::LargeVolume<TSVoxel>;

constexpr std::int32_t WorldVolumeBlockSide = 32;

// The memory the world's voxels may take. Generated terrain takes about 11
// KiB a column, so the most columns the world loads at once fit many times
// over beside the uncompressed blocks (about 52 MiB); a server that sends
// blocks that compress badly loses its least recently used ones instead of
// taking more.
constexpr std::size_t WorldVolumeMemory = std::size_t(256) << 20;

// The mesh worker's private copy holds one chunk's region at a time (16
// blocks with data at most, 4 MiB even when they compress badly): blocks of
// earlier chunks are not read again and go first.
constexpr std::size_t ScratchVolumeMemory = std::size_t(8) << 20;

// The limits of the world volume: beyond them the least recently used
// blocks are dropped or compressed.
inline void configureWorldVolume(WorldVolume& volume) {
  volume.setMemoryLimit(WorldVolumeMemory);
  volume.setMaxNumberOfUncompressedBlocks(800);
}

inline void configureScratchVolume(WorldVolume& volume) {
  volume.setMemoryLimit(ScratchVolumeMemory);
}

#endif
