#include "ExtractionBound.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "CoarseSurface.h"
#include "SampleWorld.h"
#include "TerrainMesh.h"

namespace {

using Clock = std::chrono::steady_clock;

const int Sweeps = 3;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Counts the coarse level's triangles and geometry of a chunk whose region
// `scratch` holds.
void addCoarseChunk(WorldVolume& scratch, ChunkPosition chunk, Vox::Vector3DFloat corner,
                    ExtractionBound& bound) {
  static Vox::SurfaceMesh<Vox::PositionMaterialNormal> coarse;
  extractCoarseSurface(scratch, chunk, 0, coarse);
  const TerrainMesh geometry = buildTerrainMesh(coarse, corner, MeshDetail::Coarse);
  bound.coarseTriangles += coarse.getNoOfIndices() / 3;
  bound.coarseVertices += geometry.vertices.size();
  bound.coarseBytes += geometry.bytes();
}

} // namespace

ExtractionBound measureExtractionBound(int viewRadius) {
  ExtractionBound bound;
  const auto generationStart = Clock::now();
  const SampleWorld sample = generateSampleWorld(viewRadius);
  bound.generationSeconds = secondsSince(generationStart);
  bound.columns = sample.columns.size();

  WorldVolume world(WorldVolumeBlockSide);
  configureWorldVolume(world);
  for (const auto& [chunk, column] : sample.columns)
    ingestColumn(world, chunk, column);

  WorldVolume scratch(WorldVolumeBlockSide);
  Vox::SurfaceMesh<Vox::PositionMaterialNormal> mesh;
  std::vector<double> copyBest(sample.columns.size(), std::numeric_limits<double>::max());
  std::vector<double> extractionBest(copyBest);
  std::vector<double> buildBest(copyBest);
  for (int sweep = 0; sweep < Sweeps; ++sweep) {
    std::size_t i = 0;
    for (const auto& entry : sample.columns) {
      const auto copyStart = Clock::now();
      copyChunkRegion(world, scratch, entry.first);
      copyBest[i] = std::min(copyBest[i], secondsSince(copyStart));
      const auto extractionStart = Clock::now();
      extractChunk(scratch, entry.first, mesh);
      extractionBest[i] = std::min(extractionBest[i], secondsSince(extractionStart));
      const auto buildStart = Clock::now();
      const Vox::Vector3DInt32 lower = chunkLowerCorner(entry.first);
      const Vox::Vector3DFloat corner(float(lower.x), float(lower.y), float(lower.z));
      const TerrainMesh geometry = buildTerrainMesh(mesh, corner);
      buildBest[i] = std::min(buildBest[i], secondsSince(buildStart));
      if (sweep == 0) {
        bound.triangles += mesh.getNoOfIndices() / 3;
        bound.vertices += geometry.vertices.size();
        bound.geometryBytes += geometry.bytes();
        addCoarseChunk(scratch, entry.first, corner, bound);
      }
      ++i;
    }
  }
  for (std::size_t i = 0; i < copyBest.size(); ++i) {
    bound.copySeconds += copyBest[i];
    bound.extractionSeconds += extractionBest[i];
    bound.buildSeconds += buildBest[i];
  }
  return bound;
}
