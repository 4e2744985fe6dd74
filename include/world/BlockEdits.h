#ifndef WORLD_BLOCK_EDITS_H
#define WORLD_BLOCK_EDITS_H

// Block edits sent by the server, one block (BlockChange) or a list of blocks
// in one chunk (MultiBlockChange): written into the world volume of the
// loaded chunks, whose meshes are then rebuilt.

#include <cstddef>
#include <set>
#include <vector>

#include "ChunkPosition.h"
#include "TSPackets.h"
#include "TSVoxel.h"

class WorldModel;

// One block to set, in world block coordinates.
struct BlockEdit {
  Vox::Vector3DInt32 block;
  TSVoxel voxel;
};

// The records of a MultiBlockChange as edits in world block coordinates. The
// packet holds each record's place within its chunk (x and z 0 to 15, y 0 to
// 255); records above the world's single layer of chunks, or off the chunk,
// are left out and counted in `outside`. The chunk must lie within the
// block coordinates the world can address.
std::vector<BlockEdit> multiBlockEdits(const TSPackets::MultiBlockChange& packet,
                                       std::size_t& outside);

// The chunks whose meshes read the block: its own and, near its borders, the
// neighbours whose meshes reach into it.
std::set<ChunkPosition> chunksReading(Vox::Vector3DInt32 block);

// Writes the edits under the volume lock and queues one re-mesh of each loaded
// chunk that reads a changed block, however many of its blocks changed.
//
// Edits of chunks that are not loaded are dropped: the server sends a chunk's
// whole column again before it is shown, which would overwrite them, and
// keeping them would let a server fill the volume with blocks nobody sees.
// An edit that leaves the block as it was re-meshes nothing.
void applyBlockEdits(WorldModel& world, const std::vector<BlockEdit>& edits);

#endif
