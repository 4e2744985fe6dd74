#include "TerrainFog.h"

#include <algorithm>

#include "ChunkGeometry.h"

namespace {

// The share of the fog's end distance that stays clear.
const float ClearShare = 0.6f;

} // namespace

FogRange fogRangeFor(int reachColumns) {
  const float end = (float(std::max(reachColumns, 0)) + 0.5f) * float(ChunkSizeX);
  return {end * ClearShare, end};
}
