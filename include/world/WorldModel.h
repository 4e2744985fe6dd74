#ifndef WORLD_WORLD_MODEL_H
#define WORLD_WORLD_MODEL_H

// The world of one connection without its drawing: the voxel volume with its
// lock, the loaded chunks' states, the re-mesh scheduling and the mesh
// worker, and the finished meshes waiting to be drawn. The chunk packets'
// effects on it are in ChunkPackets.h; the drawing reads it (WorldView.h).
//
// Whatever a server sends, the world holds a bounded number of chunks: only
// those within LoadRadius columns of the player's, at most MaxLoadedChunks;
// an unloaded chunk's voxels are freed, and the volume's memory has a limit
// (WorldVolume.h).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "BurstLines.h"
#include "ChunkPosition.h"
#include "Mesh.h"
#include "WorldVolume.h"
#include "world/ChunkState.h"
#include "world/DetailPolicy.h"
#include "world/MeshScheduler.h"
#include "world/MeshWorker.h"

class WorldModel {
public:
  using Clock = MeshScheduler::Clock;

  // Columns around the player's within which chunks are loaded: the local
  // world server's largest view radius (32, far beyond the usual 10 or so)
  // and 4 columns for a server that unloads behind a running player late.
  static constexpr int LoadRadius = 36;
  // The chunks of that square: 5329.
  static constexpr std::size_t MaxLoadedChunks =
      std::size_t(2 * LoadRadius + 1) * std::size_t(2 * LoadRadius + 1);

  // Starts the mesh worker.
  explicit WorldModel(DetailPolicy detail = DetailPolicy());
  WorldModel(const WorldModel&) = delete;
  WorldModel& operator=(const WorldModel&) = delete;

  // Loads the chunk if the world may hold it (see mayLoad()); a chunk it
  // may not is ignored with a line (one per burst of them).
  void loadChunk(ChunkPosition position, Clock::time_point now = Clock::now());
  // Forgets everything about the chunk: its state, its waits, the mesh asked
  // for it and its finished mesh; its voxels are freed at the next update()
  // unless it is loaded again before.
  void unloadChunk(ChunkPosition position);
  // Whether a chunk that is not loaded may be: it lies within LoadRadius of
  // the player's column (anywhere before the server has placed the player),
  // and there is room for it. At MaxLoadedChunks the loaded chunk farthest
  // from the player is unloaded to make room, if it lies beyond LoadRadius.
  // A chunk it may not load is reported as ignored, a line per burst.
  bool mayLoad(ChunkPosition position, Clock::time_point now = Clock::now());
  // The column the player is in, wherever the server has placed them or
  // they have walked since.
  void followPlayer(ChunkPosition column) { m_playerColumn = column; }
  bool isLoaded(ChunkPosition position) const { return m_chunks.count(position) != 0; }
  const ChunkStates& chunks() const { return m_chunks; }

  // The volume is shared with the mesh worker: hold the mutex while reading
  // or writing it (reads update its bookkeeping too).
  std::mutex& volumeMutex() { return m_volumeMutex; }
  WorldVolume& volume() { return m_volume; }

  // The chunk's blocks have just been written into the volume (see
  // VoxelModifier), with the lock still held. A chunk the server did not
  // announce is loaded first, if the world may hold it (ask mayLoad() before
  // writing). It and the loaded chunks around it are meshed as
  // MeshScheduler::blocksArrived says.
  void blocksArrived(ChunkPosition position, Clock::time_point now = Clock::now());
  // Has a loaded chunk meshed again now, as after a block edit; nothing for
  // a chunk that is not loaded.
  void remesh(ChunkPosition position);

  // Once per tick, with the player's column: frees the voxels of unloaded
  // chunks, asks for the re-meshes that are due, takes the meshes the worker
  // has finished, and ends the bursts of ignored chunks that are over.
  void update(ChunkPosition eyeColumn, Clock::time_point now = Clock::now());
  // Finished meshes not taken yet, the newest of each loaded chunk; a chunk
  // with no surface has an empty one.
  const std::map<ChunkPosition, Mesh>& finishedMeshes() const { return m_finishedMeshes; }
  // Moves the chunk's finished mesh out; null when it has none.
  Mesh takeFinishedMesh(ChunkPosition position);

  const MeshScheduler& meshing() const { return m_scheduler; }

private:
  bool nearPlayer(ChunkPosition position) const;
  // Frees the voxels of the chunks unloaded since the last update.
  void freeVoxels();
  // Unloads the loaded chunk farthest from the player if it lies beyond
  // LoadRadius; false when there is none.
  bool unloadFarthest(Clock::time_point now);

  std::uint64_t m_loads = 0;
  ChunkStates m_chunks;
  std::optional<ChunkPosition> m_playerColumn;
  // Unloaded chunks whose voxels are still in the volume.
  std::set<ChunkPosition> m_voxelsToFree;
  BurstLines m_farChunks;
  BurstLines m_excessChunks;
  BurstLines m_unloadedForRoom;
  std::mutex m_volumeMutex;
  WorldVolume m_volume;
  MeshScheduler m_scheduler;
  std::map<ChunkPosition, Mesh> m_finishedMeshes;
  // Declared after the volume: stopped and joined before it goes.
  MeshWorker m_worker;
};

#endif
