#ifndef WORLD_CHUNK_PACKETS_H
#define WORLD_CHUNK_PACKETS_H

// What the server's chunk packets do to the world: which chunks are loaded,
// their blocks, and the server's block edits. Packets the world cannot hold
// are ignored with a line saying why.

#include "TSPackets.h"

class WorldModel;

namespace ChunkPackets {

// Loads the chunk (mode 1) or unloads it (any other mode). A chunk the world
// may not hold (WorldModel::mayLoad) is ignored.
void apply(WorldModel& world, const TSPackets::Prechunk& packet);
// Writes a whole column into the volume in the payload's order (y fastest,
// then z, then x) and has it and its neighbours meshed. Partial columns
// are ignored; so are columns outside the world's single layer of chunks,
// beyond the edge of the 32-bit block coordinates, or of chunks the world
// may not hold.
void apply(WorldModel& world, const TSPackets::MapChunk& packet);
// Block edits of loaded chunks; see BlockEdits.h. They are not logged (a
// server sends hundreds of them); only edits outside the world are.
void apply(WorldModel& world, const TSPackets::MultiBlockChange& packet);
void apply(WorldModel& world, const TSPackets::BlockChange& packet);

} // namespace ChunkPackets

#endif
