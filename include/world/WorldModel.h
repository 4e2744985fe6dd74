#ifndef WORLD_WORLD_MODEL_H
#define WORLD_WORLD_MODEL_H

// The world of one connection without its drawing: the voxel volume with its
// lock, the loaded chunks' states, the re-mesh scheduling and the mesh
// worker, and the finished meshes waiting to be drawn. The chunk packets'
// effects on it are in ChunkPackets.h; the drawing reads it (WorldView.h).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

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

  // Starts the mesh worker.
  explicit WorldModel(DetailPolicy detail = DetailPolicy());
  WorldModel(const WorldModel&) = delete;
  WorldModel& operator=(const WorldModel&) = delete;

  void loadChunk(ChunkPosition position);
  // Forgets everything about the chunk: its state, its waits, the mesh asked
  // for it and its finished mesh. Its voxels stay in the volume.
  void unloadChunk(ChunkPosition position);
  bool isLoaded(ChunkPosition position) const { return m_chunks.count(position) != 0; }
  const ChunkStates& chunks() const { return m_chunks; }

  // The volume is shared with the mesh worker: hold the mutex while reading
  // or writing it (reads update its bookkeeping too).
  std::mutex& volumeMutex() { return m_volumeMutex; }
  WorldVolume& volume() { return m_volume; }

  // The chunk's blocks have just been written into the volume (see
  // VoxelModifier), with the lock still held. A chunk the server did not
  // announce is loaded first. It and the loaded chunks around it are meshed
  // as MeshScheduler::blocksArrived says.
  void blocksArrived(ChunkPosition position, Clock::time_point now = Clock::now());
  // Has a loaded chunk meshed again now, as after a block edit; nothing for
  // a chunk that is not loaded.
  void remesh(ChunkPosition position);

  // Once per tick, with the player's column: asks for the re-meshes that are
  // due and takes the meshes the worker has finished.
  void update(ChunkPosition eyeColumn, Clock::time_point now = Clock::now());
  // Finished meshes not taken yet, the newest of each loaded chunk; a chunk
  // with no surface has an empty one.
  const std::map<ChunkPosition, Mesh>& finishedMeshes() const { return m_finishedMeshes; }
  // Moves the chunk's finished mesh out; null when it has none.
  Mesh takeFinishedMesh(ChunkPosition position);

  const MeshScheduler& meshing() const { return m_scheduler; }

private:
  std::uint64_t m_loads = 0;
  ChunkStates m_chunks;
  std::mutex m_volumeMutex;
  WorldVolume m_volume;
  MeshScheduler m_scheduler;
  std::map<ChunkPosition, Mesh> m_finishedMeshes;
  // Declared after the volume: stopped and joined before it goes.
  MeshWorker m_worker;
};

#endif
