#ifndef WORLD_DETAIL_POLICY_H
#define WORLD_DETAIL_POLICY_H

// Which detail a chunk's mesh gets from its distance to the player's column:
// full near the player, without the block-type split farther out
// (MeshDetail::Far), and coarse beyond that (MeshDetail::Coarse).

#include <cstdint>
#include <optional>

#include "ChunkPosition.h"
#include "TerrainMesh.h"

class DetailPolicy {
public:
  // Columns around the player's whose chunks are meshed in full detail by
  // default.
  static constexpr int DefaultDetailDistance = 4;
  // Columns around the player's beyond which chunks are meshed coarsely by
  // default.
  static constexpr int DefaultCoarseDistance = 6;

  // Chunks more than `detailDistance` columns away are meshed with
  // MeshDetail::Far; chunks more than `coarseDistance` columns away with
  // MeshDetail::Coarse, whatever the detail distance.
  explicit DetailPolicy(int detailDistance = DefaultDetailDistance,
                        int coarseDistance = DefaultCoarseDistance)
      : m_detailDistance(detailDistance), m_coarseDistance(coarseDistance) {}

  // The detail of a chunk `distance` columns away.
  MeshDetail detailAt(std::int64_t distance) const;
  // The same for a chunk whose last mesh has the detail `meshed` (none when
  // it has not been meshed): a chunk one column beyond a level's reach keeps
  // the nearer level it has, so that walking to and fro across the line does
  // not re-mesh the same chunks again and again.
  MeshDetail wantedDetail(std::int64_t distance, std::optional<MeshDetail> meshed) const;

private:
  int m_detailDistance;
  int m_coarseDistance;
};

// Columns between two chunks, along the farther axis.
std::int64_t columnDistance(ChunkPosition a, ChunkPosition b);

#endif
