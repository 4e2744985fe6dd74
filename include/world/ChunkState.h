#ifndef WORLD_CHUNK_STATE_H
#define WORLD_CHUNK_STATE_H

#include <cstdint>
#include <map>

#include "ChunkPosition.h"

// What the world knows of a loaded chunk.
struct ChunkState {
  // Which load of the chunk this is. Every load gets a new number, so that
  // what was made for an earlier load of the same chunk is told apart.
  std::uint64_t load = 0;
  // Whether the server has sent the chunk's blocks since it was loaded.
  bool hasBlocks = false;
};

// The loaded chunks and their states.
using ChunkStates = std::map<ChunkPosition, ChunkState>;

#endif
