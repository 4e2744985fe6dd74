#include "WorldManagerThread.h"

#include <exception>
#include <iostream>
#include <utility>

#include "ChunkRegions.h"
#include "CoarseSurface.h"
#include "vox/SurfaceExtractor.h"
#include "vox/VolumeResampler.h"

WorldManagerThread::WorldManagerThread(std::mutex& volumeMutex, WorldVolume& volume)
    : m_scratchVolume(WorldVolumeBlockSide), m_volumeMutex(volumeMutex), m_volume(volume),
      m_thread(&WorldManagerThread::ThreadLoop, this) {}

WorldManagerThread::~WorldManagerThread() {
  {
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_running = false;
  }
  m_wakeCondition.notify_one();
  m_thread.join();
}

void WorldManagerThread::queueChunkForUpdate(ChunkPosition position, MeshDetail detail,
                                             unsigned finerSides) {
  std::lock_guard<std::mutex> queueLock(m_queueMutex);
  const auto [queued, added] =
      m_queuedChunks.insert_or_assign(position, MeshLevel{detail, finerSides});
  if (added) {
    m_chunkQueue.push_back(queued->first);
  }
  {
    std::lock_guard<std::mutex> wakeLock(m_wakeMutex);
    m_hasWork = true;
  }
  m_wakeCondition.notify_one();
}

bool WorldManagerThread::takeFinished(ChunkPosition& position, Mesh& mesh) {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  if (m_finishedPositions.empty()) {
    return false;
  }
  position = m_finishedPositions.front();
  mesh = std::move(m_finishedMeshes.front());
  m_finishedPositions.pop_front();
  m_finishedMeshes.pop_front();
  return true;
}

void WorldManagerThread::ThreadLoop() {
  ChunkPosition position;
  MeshLevel level;
  while (waitForWork()) {
    if (!takeQueued(position, level))
      continue;
    try {
      process(position, level);
    } catch (const std::exception& error) {
      std::cerr << "could not mesh chunk " << position.x << ", " << position.y << ", "
                << position.z << ": " << error.what() << std::endl;
    }
  }
}

bool WorldManagerThread::waitForWork() {
  std::unique_lock<std::mutex> lock(m_wakeMutex);
  m_wakeCondition.wait(lock, [this] { return m_hasWork || !m_running; });
  return m_running;
}

bool WorldManagerThread::takeQueued(ChunkPosition& position, MeshLevel& level) {
  std::lock_guard<std::mutex> lock(m_queueMutex);
  if (m_chunkQueue.empty()) {
    m_hasWork = false;
    return false;
  }
  position = m_chunkQueue.front();
  m_chunkQueue.pop_front();
  const auto queued = m_queuedChunks.find(position);
  level = queued->second;
  m_queuedChunks.erase(queued);
  return true;
}

void WorldManagerThread::process(ChunkPosition position, MeshLevel level) {
  const Vox::Region copyRegion = chunkCopyRegion(position);
  {
    std::lock_guard<std::mutex> lock(m_volumeMutex);
    Vox::VolumeResampler<WorldVolume, WorldVolume>(&m_volume, copyRegion, &m_scratchVolume,
                                                   copyRegion)
        .execute();
  }
  extract(position, level);
  const Vox::Vector3DInt32 corner = chunkLowerCorner(position);
  Mesh mesh = std::make_unique<ChunkMesh>();
  mesh->sections = buildSectionMeshes(
      m_surface, Vox::Vector3DFloat(float(corner.x), float(corner.y), float(corner.z)),
      level.detail);
  m_blocks.resize(ChunkBlocks);
  m_scratchVolume.readRegion({chunkLowerCorner(position), chunkUpperCorner(position)},
                             m_blocks.data());
  mesh->links = columnLinks(m_blocks.data());

  std::lock_guard<std::mutex> lock(m_resultMutex);
  m_finishedPositions.push_back(position);
  m_finishedMeshes.push_back(std::move(mesh));
}

void WorldManagerThread::extract(ChunkPosition position, MeshLevel level) {
  if (level.detail == MeshDetail::Coarse)
    extractCoarseSurface(m_scratchVolume, position, level.finerSides, m_surface);
  else
    Vox::SurfaceExtractor<WorldVolume>(&m_scratchVolume, chunkExtractionRegion(position),
                                       &m_surface)
        .execute();
}
