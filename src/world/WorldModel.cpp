#include "world/WorldModel.h"

#include <iostream>
#include <utility>

WorldModel::WorldModel(DetailPolicy detail)
    : m_volume(WorldVolumeBlockSide),
      m_scheduler(m_chunks, detail,
                  [this](ChunkPosition position, MeshLevel level) {
                    m_worker.queueChunkForUpdate(position, level.detail, level.finerSides);
                  }),
      m_worker(m_volumeMutex, m_volume) {
  configureWorldVolume(m_volume);
}

void WorldModel::loadChunk(ChunkPosition position) {
  if (isLoaded(position)) {
    std::cout << "tried to load chunk twice: " << position.x << ", " << position.y << ", "
              << position.z << std::endl;
    return;
  }
  m_chunks.emplace(position, ChunkState{++m_loads, false});
}

void WorldModel::unloadChunk(ChunkPosition position) {
  if (!isLoaded(position)) {
    std::cout << "tried to unload chunk that was not loaded: " << position.x << ", "
              << position.y << ", " << position.z << std::endl;
    return;
  }
  m_chunks.erase(position);
  m_scheduler.forget(position);
  m_finishedMeshes.erase(position);
  m_worker.forget(position);
}

void WorldModel::blocksArrived(ChunkPosition position, Clock::time_point now) {
  if (!isLoaded(position)) {
    std::cout << "Stupid TS server sent us a chunk that it didn't tell us we should load"
              << std::endl;
    loadChunk(position);
  }
  m_chunks.at(position).hasBlocks = true;
  m_scheduler.blocksArrived(position, now);
}

void WorldModel::remesh(ChunkPosition position) { m_scheduler.queueMesh(position); }

// The worker forgets an unloaded chunk's requests and meshes, so every mesh
// it hands over belongs to a loaded chunk.
void WorldModel::update(ChunkPosition eyeColumn, Clock::time_point now) {
  m_scheduler.update(eyeColumn, now);
  ChunkPosition position;
  Mesh mesh;
  while (m_worker.takeFinished(position, mesh))
    m_finishedMeshes[position] = std::move(mesh);
}

Mesh WorldModel::takeFinishedMesh(ChunkPosition position) {
  const auto finished = m_finishedMeshes.find(position);
  if (finished == m_finishedMeshes.end())
    return nullptr;
  Mesh mesh = std::move(finished->second);
  m_finishedMeshes.erase(finished);
  return mesh;
}
