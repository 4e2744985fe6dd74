#ifndef CHUNK_REGIONS_H
#define CHUNK_REGIONS_H

// The voxel regions the mesh worker reads for one chunk.

#include "ChunkPosition.h"
#include "vox/Region.h"
#include "vox/SurfaceExtractor.h"

// The chunk's cells: its blocks are the lower corners, and the last corner
// layer in +x, +y and +z is the first voxel layer of the next chunk, so
// adjacent meshes meet without a gap.
constexpr Vox::Region chunkExtractionRegion(ChunkPosition chunk) {
  return {chunkLowerCorner(chunk), chunkUpperCorner(chunk) + Vox::Vector3DInt32(1, 1, 1)};
}

// Everything the extraction of the chunk reads.
constexpr Vox::Region chunkCopyRegion(ChunkPosition chunk) {
  static_assert(MesherBorder == 1 + Vox::SurfaceExtractorPadding,
                "the copy must cover the extractor's padding around the extraction region");
  const Vox::Vector3DInt32 border(MesherBorder, MesherBorder, MesherBorder);
  return {chunkLowerCorner(chunk) - border, chunkUpperCorner(chunk) + border};
}

#endif
