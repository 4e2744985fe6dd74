#ifndef BENCH_MESHING_SAMPLE_WORLD_H
#define BENCH_MESHING_SAMPLE_WORLD_H

#include <map>
#include <string>

#include "ChunkPosition.h"
#include "WorldVolume.h"
#include "terrain/TerrainGenerator.h"
#include "vox/SurfaceMesh.h"

// A square of chunk columns centred on chunk (0, 0), chunk x and z from
// -radius to radius.
struct SampleWorld {
  int radius = 0;
  std::map<ChunkPosition, Terrain::Column> columns;
};

// From the terrain generator with seed 0.
SampleWorld generateSampleWorld(int radius);

// From a file of 32768-byte column records, chunk x ascending, then chunk z,
// blocks at (x * 16 + z) * 128 + y. Throws std::runtime_error when the file
// cannot be read or does not hold a square of columns.
SampleWorld loadSampleWorld(const std::string& path);

// Writes a column into the volume as chunk ingestion does: x, then z, then y
// fastest.
void ingestColumn(WorldVolume& volume, ChunkPosition chunk, const Terrain::Column& column);

// The mesh worker's two steps for one chunk: the region copy with a border of
// two into `scratch`, and the extraction from the copy into `mesh`.
void copyChunkRegion(WorldVolume& world, WorldVolume& scratch, ChunkPosition chunk);
void extractChunk(WorldVolume& scratch, ChunkPosition chunk,
                  Vox::SurfaceMesh<Vox::PositionMaterialNormal>& mesh);

#endif
