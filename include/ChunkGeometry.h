#ifndef CHUNK_GEOMETRY_H
#define CHUNK_GEOMETRY_H

// The size of a chunk and how far its mesh reaches into its neighbours.
// Every chunk is 16 x 128 x 16 blocks; the world has one layer of chunks.

constexpr int ChunkShiftX = 4;
constexpr int ChunkShiftY = 7;
constexpr int ChunkShiftZ = 4;
constexpr int ChunkSizeX = 1 << ChunkShiftX;
constexpr int ChunkSizeY = 1 << ChunkShiftY;
constexpr int ChunkSizeZ = 1 << ChunkShiftZ;
constexpr int ChunkBlocks = ChunkSizeX * ChunkSizeY * ChunkSizeZ;

// A column is drawn as sections of this many block layers, each with bounds
// of its own, so that the camera culls vertically too and sections hidden
// behind rock are skipped.
constexpr int SectionHeight = 16;
constexpr int SectionsPerColumn = ChunkSizeY / SectionHeight;
static_assert(ChunkSizeY % SectionHeight == 0, "sections tile the column");

// A chunk's mesh reads this many voxels beyond the chunk on every side: its
// last cells end one voxel into the next chunk, and the surface gradients
// read one voxel beyond those.
constexpr int MesherBorder = 2;

#endif
