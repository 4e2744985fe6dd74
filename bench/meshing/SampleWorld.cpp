#include "SampleWorld.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "ChunkRegions.h"
#include "vox/SurfaceExtractor.h"
#include "vox/VolumeResampler.h"

SampleWorld generateSampleWorld(int radius) {
  const Terrain::TerrainGenerator generator(0);
  SampleWorld world;
  world.radius = radius;
  for (int x = -radius; x <= radius; ++x)
    for (int z = -radius; z <= radius; ++z)
      world.columns[{x, 0, z}] = generator.column(x, z);
  return world;
}

SampleWorld loadSampleWorld(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot open " + path);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t records = bytes.size() / Terrain::ColumnBlocks;
  const int side = int(std::lround(std::sqrt(double(records))));
  if (bytes.size() % Terrain::ColumnBlocks != 0 || records == 0 ||
      std::size_t(side) * side != records || side % 2 == 0)
    throw std::runtime_error(path + " does not hold a square of chunk columns");
  SampleWorld world;
  world.radius = side / 2;
  auto next = bytes.begin();
  for (int x = -world.radius; x <= world.radius; ++x)
    for (int z = -world.radius; z <= world.radius; ++z, next += Terrain::ColumnBlocks)
      world.columns[{x, 0, z}] = Terrain::Column(next, next + Terrain::ColumnBlocks);
  return world;
}

void ingestColumn(WorldVolume& volume, ChunkPosition chunk, const Terrain::Column& column) {
  const Vox::Vector3DInt32 lower = chunkLowerCorner(chunk);
  const std::uint8_t* next = column.data();
  for (std::int32_t x = lower.x; x < lower.x + ChunkSizeX; ++x)
    for (std::int32_t z = lower.z; z < lower.z + ChunkSizeZ; ++z)
      for (std::int32_t y = lower.y; y < lower.y + ChunkSizeY; ++y)
        volume.setVoxelAt(x, y, z, TSVoxel(*next++));
}

void copyChunkRegion(WorldVolume& world, WorldVolume& scratch, ChunkPosition chunk) {
  const Vox::Region region = chunkCopyRegion(chunk);
  Vox::VolumeResampler<WorldVolume, WorldVolume>(&world, region, &scratch, region).execute();
}

void extractChunk(WorldVolume& scratch, ChunkPosition chunk,
                  Vox::SurfaceMesh<Vox::PositionMaterialNormal>& mesh) {
  Vox::SurfaceExtractor<WorldVolume>(&scratch, chunkExtractionRegion(chunk), &mesh).execute();
}
