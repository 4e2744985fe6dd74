#ifndef WORLD_MESH_WORKER_H
#define WORLD_MESH_WORKER_H

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "ChunkPosition.h"
#include "Mesh.h"
#include "WorldVolume.h"
#include "vox/SurfaceMesh.h"

// The mesh worker: one background thread that turns queued chunk positions
// into terrain meshes. It copies each chunk's region (plus a border) out of
// the world volume under the world's volume mutex into a private volume,
// extracts the marching-cubes surface from the copy and builds the drawable
// arrays with no lock held, and hands the mesh back through a result queue
// that the main thread drains. A chunk that cannot be meshed (an allocation
// that fails) is reported on standard error and skipped; the worker goes on.
//
// Lock order for callers: the volume mutex may be held while queueing; the
// worker never holds two of its locks at once.
class MeshWorker {
public:
  // volumeMutex guards volume; both must outlive this object. Starts the
  // worker thread.
  MeshWorker(std::mutex& volumeMutex, WorldVolume& volume);
  // Stops the worker after the chunk in progress, if any, and joins it.
  // Queued positions and meshes not yet taken are dropped.
  ~MeshWorker();

  MeshWorker(const MeshWorker&) = delete;
  MeshWorker& operator=(const MeshWorker&) = delete;

  // Main thread. Asks for chunk `position` to be meshed at `detail`, for a
  // coarse chunk with walls on the `finerSides` (ChunkSide bits). A position
  // already waiting is not queued twice (the latest level asked for holds);
  // positions are meshed in the order they were first queued. Blocks only on
  // two short locks.
  void queueChunkForUpdate(ChunkPosition position, MeshDetail detail = MeshDetail::Full,
                           unsigned finerSides = 0);

  // Main thread. Moves the oldest finished mesh and its chunk position out of
  // the result queue; returns false, leaving both arguments alone, when no
  // mesh is waiting. A chunk with no surface still gives a mesh (with no
  // vertices).
  bool takeFinished(ChunkPosition& position, Mesh& mesh);

  // Main thread. Forgets the chunk: its waiting request is dropped, and so
  // are its finished meshes, including that of a mesh in progress.
  void forget(ChunkPosition position);

private:
  void ThreadLoop();
  // Waits until there may be work or a stop is asked for; false means stop.
  bool waitForWork();
  // Takes the front of the queue as the chunk in progress; clears m_hasWork
  // and returns false when the queue is empty.
  bool takeQueued(ChunkPosition& position, MeshLevel& level);
  Mesh build(ChunkPosition position, MeshLevel level);
  // Extracts the chunk's surface at `level` from the private copy into
  // m_surface.
  void extract(ChunkPosition position, MeshLevel level);
  // Ends the progress of the chunk in progress and hands its mesh over,
  // unless the chunk was forgotten meanwhile or has no mesh.
  void deliver(ChunkPosition position, Mesh mesh);

  WorldVolume m_scratchVolume;
  // The last extracted surface and the blocks of the last chunk; kept so
  // that their storage is reused.
  Vox::SurfaceMesh<Vox::PositionMaterialNormal> m_surface;
  std::vector<TSVoxel> m_blocks;
  // Guards the request queue, the chunk in progress and the result queue, so
  // that a chunk is forgotten wherever it is on its way.
  std::mutex m_queuesMutex;
  std::mutex m_wakeMutex;
  // Written with m_queuesMutex held (and m_wakeMutex when set); read under
  // m_wakeMutex.
  bool m_hasWork = false;
  std::condition_variable m_wakeCondition;
  // Guarded by m_wakeMutex, so that a stop cannot slip past a worker that is
  // about to wait.
  bool m_running = true;
  std::mutex& m_volumeMutex;
  WorldVolume& m_volume;
  // Exactly the positions waiting in m_chunkQueue, with their level.
  std::map<ChunkPosition, MeshLevel> m_queuedChunks;
  std::deque<ChunkPosition> m_chunkQueue;
  // The chunk being meshed, and whether it was forgotten since it was taken.
  std::optional<ChunkPosition> m_inProgress;
  bool m_inProgressForgotten = false;
  std::deque<std::pair<ChunkPosition, Mesh>> m_finished;
  std::thread m_thread;
};

#endif
