#ifndef CHUNK_POSITION_H
#define CHUNK_POSITION_H

#include "vox/Vector.h"

// A chunk's position in chunk units (16 x 128 x 16 blocks); y is always 0.
using ChunkPosition = Vox::Vector3DInt32;

// Chunk of a block, by floor division (arithmetic shifts).
constexpr ChunkPosition chunkOfBlock(std::int32_t x, std::int32_t y, std::int32_t z) {
  return {x >> 4, y >> 7, z >> 4};
}

// Lowest block of a chunk.
constexpr Vox::Vector3DInt32 chunkLowerCorner(ChunkPosition chunk) {
  return {chunk.x * 16, chunk.y * 128, chunk.z * 16};
}

#endif
