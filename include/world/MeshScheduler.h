#ifndef WORLD_MESH_SCHEDULER_H
#define WORLD_MESH_SCHEDULER_H

// When the loaded chunks are meshed, and at which level. A chunk whose blocks
// arrive is meshed with its neighbours once their blocks are there too, so
// that a column is not meshed once per arriving neighbour; the detail of
// each mesh follows the chunk's distance to the player's column. Decisions
// only: the meshes asked for go to the queue given at construction.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>

#include "ChunkPosition.h"
#include "TerrainMesh.h"
#include "world/ChunkState.h"
#include "world/DetailPolicy.h"

class MeshScheduler {
public:
  using Clock = std::chrono::steady_clock;
  // Asks for a chunk to be meshed at a level.
  using Queue = std::function<void(ChunkPosition, MeshLevel)>;

  // How long a chunk's re-mesh waits for neighbours that have not sent their
  // blocks yet.
  static constexpr Clock::duration NeighbourWait = std::chrono::milliseconds(1500);
  // Once no chunk has sent its blocks for this long the stream has paused,
  // and chunks still waiting for neighbours are meshed without them: those
  // beyond the server's view radius never come.
  static constexpr Clock::duration QuietWait = std::chrono::milliseconds(250);
  // How many chunks one update re-meshes at most because the player moved
  // across the detail or the coarse distance; the others wait for the next
  // updates.
  static constexpr std::size_t DetailRemeshesPerUpdate = 4;

  // `chunks` are the loaded chunks, which must outlive the scheduler.
  MeshScheduler(const ChunkStates& chunks, DetailPolicy policy, Queue queue);

  // The blocks of loaded chunk `position` have just been written (its state
  // says so already): it and the loaded chunks around it are meshed once
  // every chunk around each of them has its blocks, or after NeighbourWait,
  // or once the stream of blocks pauses (QuietWait).
  void blocksArrived(ChunkPosition position, Clock::time_point now);
  // Asks for loaded chunk `position` to be meshed now, at the level its
  // distance asks for.
  void queueMesh(ChunkPosition position);
  // Forgets everything about the chunk: it was unloaded.
  void forget(ChunkPosition position);
  // Once per tick, with the player's column: meshes the chunks whose wait is
  // over, then a few of those whose level no longer fits their distance,
  // nearest first.
  void update(ChunkPosition eyeColumn, Clock::time_point now);

  // The level of the last mesh asked for the chunk; none before its first.
  std::optional<MeshLevel> meshLevel(ChunkPosition position) const;
  bool waitsForNeighbours(ChunkPosition position) const {
    return m_remeshDeadlines.count(position) != 0;
  }

private:
  bool isLoaded(ChunkPosition position) const { return m_chunks.count(position) != 0; }
  // True when every chunk around `position` (and the chunk itself) has
  // received its blocks.
  bool neighbourhoodComplete(ChunkPosition position) const;
  void scheduleRemesh(ChunkPosition position, Clock::time_point now);
  void queueDueRemeshes(Clock::time_point now);
  void queueDetailChanges();
  MeshDetail wantedDetail(ChunkPosition position) const;
  // The detail, and for a coarse chunk its sides towards loaded chunks of
  // finer detail.
  MeshLevel wantedLevel(ChunkPosition position) const;

  const ChunkStates& m_chunks;
  DetailPolicy m_policy;
  Queue m_queue;
  // The player's column at the last update.
  ChunkPosition m_eyeColumn;
  // Chunks waiting for their neighbours' blocks before a re-mesh, with the
  // time when they are meshed anyway.
  std::map<ChunkPosition, Clock::time_point> m_remeshDeadlines;
  // When a chunk last received blocks; see QuietWait.
  Clock::time_point m_lastBlocksArrival{};
  // The level of the last mesh asked for each loaded chunk.
  std::map<ChunkPosition, MeshLevel> m_meshLevel;
};

#endif
