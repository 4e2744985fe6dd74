#ifndef BENCH_ENDTOEND_EXTRACTION_BOUND_H
#define BENCH_ENDTOEND_EXTRACTION_BOUND_H

#include <cstddef>

// The least work the mesh worker must do for a view radius: every column of
// the (2r + 1)^2 square, all of them loaded, meshed once with the worker's
// region copy, surface extraction and the building of the drawable arrays.
// Each chunk's time is the best of a few
// sweeps (the machine is shared). The terrain generator's time for the same
// columns (the local server's share of the load) comes along.
struct ExtractionBound {
  std::size_t columns = 0;
  double generationSeconds = 0;
  double copySeconds = 0;
  double extractionSeconds = 0;
  double buildSeconds = 0;
  // Marching-cubes triangles, and the vertices and bytes of the chunk
  // geometry built from them.
  std::size_t triangles = 0;
  std::size_t vertices = 0;
  std::size_t geometryBytes = 0;
  // The same for the coarse level (without walls, which only chunks next to
  // a finer one have), not part of the bound's time.
  std::size_t coarseTriangles = 0;
  std::size_t coarseVertices = 0;
  std::size_t coarseBytes = 0;

  double totalSeconds() const { return copySeconds + extractionSeconds + buildSeconds; }
};

ExtractionBound measureExtractionBound(int viewRadius);

#endif
