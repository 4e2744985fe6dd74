#include "ExtractionBound.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "SampleWorld.h"

namespace {

using Clock = std::chrono::steady_clock;

const int Sweeps = 3;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

ExtractionBound measureExtractionBound(int viewRadius) {
  ExtractionBound bound;
  const auto generationStart = Clock::now();
  const SampleWorld sample = generateSampleWorld(viewRadius);
  bound.generationSeconds = secondsSince(generationStart);
  bound.columns = sample.columns.size();

  WorldVolume world(32);
  configureWorldVolume(world);
  for (const auto& [chunk, column] : sample.columns)
    ingestColumn(world, chunk, column);

  WorldVolume scratch(32);
  Vox::SurfaceMesh<Vox::PositionMaterialNormal> mesh;
  std::vector<double> copyBest(sample.columns.size(), std::numeric_limits<double>::max());
  std::vector<double> extractionBest(copyBest);
  for (int sweep = 0; sweep < Sweeps; ++sweep) {
    std::size_t i = 0;
    for (const auto& entry : sample.columns) {
      const auto copyStart = Clock::now();
      copyChunkRegion(world, scratch, entry.first);
      copyBest[i] = std::min(copyBest[i], secondsSince(copyStart));
      const auto extractionStart = Clock::now();
      extractChunk(scratch, entry.first, mesh);
      extractionBest[i] = std::min(extractionBest[i], secondsSince(extractionStart));
      if (sweep == 0)
        bound.triangles += mesh.getNoOfIndices() / 3;
      ++i;
    }
  }
  for (std::size_t i = 0; i < copyBest.size(); ++i) {
    bound.copySeconds += copyBest[i];
    bound.extractionSeconds += extractionBest[i];
  }
  return bound;
}
