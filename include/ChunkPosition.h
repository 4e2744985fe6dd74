#ifndef CHUNK_POSITION_H
#define CHUNK_POSITION_H

#include "ChunkGeometry.h"
#include "vox/Vector.h"

// A chunk's position in chunk units; y is always 0.
using ChunkPosition = Vox::Vector3DInt32;

// Chunk of a block, by floor division (arithmetic shifts).
constexpr ChunkPosition chunkOfBlock(std::int32_t x, std::int32_t y, std::int32_t z) {
  return {x >> ChunkShiftX, y >> ChunkShiftY, z >> ChunkShiftZ};
}

// Lowest block of a chunk.
constexpr Vox::Vector3DInt32 chunkLowerCorner(ChunkPosition chunk) {
  return {chunk.x * ChunkSizeX, chunk.y * ChunkSizeY, chunk.z * ChunkSizeZ};
}

// Highest block of a chunk.
constexpr Vox::Vector3DInt32 chunkUpperCorner(ChunkPosition chunk) {
  return chunkLowerCorner(chunk) + Vox::Vector3DInt32(ChunkSizeX - 1, ChunkSizeY - 1, ChunkSizeZ - 1);
}

#endif
