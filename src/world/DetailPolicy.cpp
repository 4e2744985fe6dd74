#include "world/DetailPolicy.h"

#include <algorithm>
#include <cstdlib>

MeshDetail DetailPolicy::detailAt(std::int64_t distance) const {
  if (distance > m_coarseDistance)
    return MeshDetail::Coarse;
  return distance > m_detailDistance ? MeshDetail::Far : MeshDetail::Full;
}

MeshDetail DetailPolicy::wantedDetail(std::int64_t distance,
                                      std::optional<MeshDetail> meshed) const {
  if (meshed && *meshed == detailAt(distance - 1))
    return *meshed;
  return detailAt(distance);
}

std::int64_t columnDistance(ChunkPosition a, ChunkPosition b) {
  return std::max(std::llabs(std::int64_t(a.x) - b.x), std::llabs(std::int64_t(a.z) - b.z));
}
