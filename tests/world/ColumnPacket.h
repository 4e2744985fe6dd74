#ifndef TESTS_WORLD_COLUMN_PACKET_H
#define TESTS_WORLD_COLUMN_PACKET_H

#include <functional>

#include "ChunkPosition.h"
#include "TSPackets.h"

// A whole column as the server sends it, each block's type `fill(x, y, z)`
// in world block coordinates.
TSPackets::MapChunk columnPacket(ChunkPosition chunk,
                                 const std::function<int(int, int, int)>& fill);

#endif
