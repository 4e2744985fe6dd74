#ifndef WORLD_MANAGER_H
#define WORLD_MANAGER_H

// The world of one connection: the voxel volume with its lock, the loaded
// chunks, the mesh worker and one scene object per loaded chunk.

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "ChunkPosition.h"
#include "ChunkRenderer.h"
#include "CoarseSurface.h"
#include "Mesh.h"
#include "SectionWalk.h"
#include "WorldManagerThread.h"
#include "WorldVolume.h"

class MyOgre;

namespace Ogre {
class ManualObject;
}

class WorldManager {
public:
  using Clock = std::chrono::steady_clock;

  // How long a chunk's re-mesh waits for neighbours that have not sent their
  // blocks yet.
  static constexpr Clock::duration NeighbourWait = std::chrono::milliseconds(1500);
  // Once no chunk has sent its blocks for this long the stream has paused,
  // and chunks still waiting for neighbours are meshed without them: those
  // beyond the server's view radius never come.
  static constexpr Clock::duration QuietWait = std::chrono::milliseconds(250);
  // How long one update spends at most putting finished meshes on screen by
  // default; the rest wait for the next tick.
  static constexpr Clock::duration DefaultDrawBudget = std::chrono::milliseconds(4);
  // Columns around the player's whose chunks are meshed in full detail by
  // default.
  static constexpr int DefaultDetailDistance = 4;
  // Columns around the player's beyond which chunks are meshed coarsely by
  // default.
  static constexpr int DefaultCoarseDistance = 6;
  // How many chunks one update re-meshes at most because the player moved
  // across the detail or the coarse distance; the others wait for the next
  // ticks.
  static constexpr std::size_t DetailRemeshesPerUpdate = 4;

  // `viewDistance`: chunks more columns away from the player's than this are
  // not drawn; none means every chunk is. `detailDistance`: chunks more
  // columns away than this are meshed with MeshDetail::Far, and again in
  // full once the player comes this close. `coarseDistance`: chunks more
  // columns away than this are meshed with MeshDetail::Coarse, whatever the
  // detail distance, with walls towards finer neighbours. A chunk one column
  // beyond either distance keeps the nearer detail it has, so that walking to
  // and fro across the line does not re-mesh the same chunks again and again.
  explicit WorldManager(MyOgre& ogre, std::optional<int> viewDistance = std::nullopt,
                        int detailDistance = DefaultDetailDistance,
                        int coarseDistance = DefaultCoarseDistance);
  // The far clip distance that shows every chunk within `viewDistance`
  // columns of the player's, from anywhere in the player's column.
  static float farClipDistance(int viewDistance);
  // Erases the chunks' scene objects, so that a new connection's world does
  // not show this one's terrain.
  ~WorldManager();
  WorldManager(const WorldManager&) = delete;
  WorldManager& operator=(const WorldManager&) = delete;

  void loadChunk(ChunkPosition position);
  void unloadChunk(ChunkPosition position);
  // Makes sure the chunk is loaded. With neighbours, the chunk's blocks have
  // just been written: it and the loaded chunks around it are re-meshed once
  // every chunk around each of them has its blocks, or after NeighbourWait,
  // so that a column is not meshed once per arriving neighbour. Without
  // neighbours the chunk is queued for meshing at once.
  void updateChunk(ChunkPosition position, bool withNeighbours);
  // Main thread, once per tick: queues the re-meshes that are due and those of
  // chunks whose detail no longer fits their distance (nearest first, a few
  // per tick), then draws the finished meshes nearest to the camera first
  // within the draw budget (at least one). A mesh superseded by a newer one of
  // its chunk before it was drawn is dropped. Returns how many meshes were
  // drawn.
  std::size_t update();
  // Main thread, once per frame, with the camera where the frame draws from:
  // shows the chunks within the view distance, and of those the sections in
  // the camera's view that the walk through air from the camera's section
  // reaches, and sets the terrain's fog to the sky's colour so that the
  // farthest shown chunks fade into it.
  void cull();
  void setDrawBudget(Clock::duration budget) { m_drawBudget = budget; }
  // Draws one mesh into its chunk's object now.
  void render(ChunkPosition position, Mesh mesh);

  // The volume is shared with the mesh worker: hold the mutex while reading
  // or writing it (reads update its bookkeeping too).
  std::mutex& volumeMutex() { return m_volumeMutex; }
  WorldVolume& volume() { return m_volume; }

  bool isLoaded(ChunkPosition position) const { return m_sLoadedChunks.count(position) != 0; }
  Ogre::ManualObject* chunkObject(ChunkPosition position) const;
  // Chunk objects outside the camera's view or beyond the view distance at
  // the last cull, and all chunk objects.
  std::size_t culledChunks() const { return m_culledChunks; }
  std::size_t chunkCount() const { return m_OgreMeshes.size(); }
  // Sections with something to draw that the last cull showed, and all
  // sections with something to draw.
  std::size_t shownSections() const { return m_shownSections; }
  std::size_t sectionCount() const { return m_sectionCount; }

private:
  // True when every chunk around `position` (and the chunk itself) has
  // received its blocks.
  bool neighbourhoodComplete(ChunkPosition position) const;
  void scheduleRemesh(ChunkPosition position, Clock::time_point now);
  void queueDueRemeshes(Clock::time_point now);
  // Queues the chunk for meshing at the detail its distance asks for.
  void queueMesh(ChunkPosition position);
  MeshDetail detailAt(std::int64_t distance) const;
  MeshDetail wantedDetail(ChunkPosition position) const;
  // The detail, and for a coarse chunk its sides towards loaded chunks of
  // finer detail.
  MeshLevel wantedLevel(ChunkPosition position) const;
  void queueDetailChanges();
  void collectFinishedMeshes();
  std::size_t drawNearestFirst(Clock::time_point start);
  // How many columns around the eye's the shown chunks reach: the farthest
  // loaded chunk, or the view distance when that is nearer.
  int shownRadius(ChunkPosition eyeColumn) const;

  MyOgre& m_ogre;
  std::optional<int> m_viewDistance;
  int m_detailDistance;
  int m_coarseDistance;
  // The camera's column at the last update.
  ChunkPosition m_eyeColumn;
  std::mutex m_volumeMutex;
  WorldVolume m_volume;
  std::set<ChunkPosition> m_sLoadedChunks;
  // Declared after the volume: destroyed (stopped and joined) before it.
  WorldManagerThread m_meshThread;
  std::map<ChunkPosition, Ogre::ManualObject*> m_OgreMeshes;
  // The bounds of each section of the chunks that show a mesh; empty boxes
  // for sections with nothing to draw.
  std::map<ChunkPosition, SectionBounds> m_sectionBounds;
  SectionWalk m_sectionWalk;
  // Chunks whose blocks have arrived.
  std::set<ChunkPosition> m_chunksWithBlocks;
  // Chunks waiting for their neighbours' blocks before a re-mesh, with the
  // time when they are meshed anyway.
  std::map<ChunkPosition, Clock::time_point> m_remeshDeadlines;
  // When a chunk last received blocks; see QuietWait.
  Clock::time_point m_lastBlocksArrival{};
  // The level of the last mesh queued for each loaded chunk.
  std::map<ChunkPosition, MeshLevel> m_meshLevel;
  // Finished meshes not drawn yet, the newest of each chunk.
  std::map<ChunkPosition, Mesh> m_finishedMeshes;
  Clock::duration m_drawBudget = DefaultDrawBudget;
  std::size_t m_culledChunks = 0;
  std::size_t m_shownSections = 0;
  std::size_t m_sectionCount = 0;
};

#endif
