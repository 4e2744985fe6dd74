#include "world/MeshWorker.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <utility>

#include "ChunkRegions.h"
#include "CoarseSurface.h"
#include "vox/SurfaceExtractor.h"
#include "vox/VolumeResampler.h"

MeshWorker::MeshWorker(std::mutex& volumeMutex, WorldVolume& volume)
    : m_scratchVolume(WorldVolumeBlockSide), m_volumeMutex(volumeMutex), m_volume(volume),
      m_thread(&MeshWorker::ThreadLoop, this) {}

MeshWorker::~MeshWorker() {
  {
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_running = false;
  }
  m_wakeCondition.notify_one();
  m_thread.join();
}

void MeshWorker::queueChunkForUpdate(ChunkPosition position, MeshDetail detail,
                                     unsigned finerSides) {
  std::lock_guard<std::mutex> queueLock(m_queuesMutex);
  const auto [queued, added] =
      m_queuedChunks.insert_or_assign(position, MeshLevel{detail, finerSides});
  if (added) {
    try {
      m_chunkQueue.push_back(queued->first);
    } catch (...) {
      m_queuedChunks.erase(queued);
      throw;
    }
  }
  {
    std::lock_guard<std::mutex> wakeLock(m_wakeMutex);
    m_hasWork = true;
  }
  m_wakeCondition.notify_one();
}

bool MeshWorker::takeFinished(ChunkPosition& position, Mesh& mesh) {
  std::lock_guard<std::mutex> lock(m_queuesMutex);
  if (m_finished.empty()) {
    return false;
  }
  position = m_finished.front().first;
  mesh = std::move(m_finished.front().second);
  m_finished.pop_front();
  return true;
}

void MeshWorker::forget(ChunkPosition position) {
  std::lock_guard<std::mutex> lock(m_queuesMutex);
  if (m_queuedChunks.erase(position) != 0)
    m_chunkQueue.erase(std::find(m_chunkQueue.begin(), m_chunkQueue.end(), position));
  if (m_inProgress == position)
    m_inProgressForgotten = true;
  m_finished.erase(std::remove_if(m_finished.begin(), m_finished.end(),
                                  [&](const auto& finished) { return finished.first == position; }),
                   m_finished.end());
}

// The private copy is the worker's alone, so it is set up here.
void MeshWorker::ThreadLoop() {
  configureScratchVolume(m_scratchVolume);
  ChunkPosition position;
  MeshLevel level;
  while (waitForWork()) {
    if (!takeQueued(position, level))
      continue;
    Mesh mesh;
    try {
      mesh = build(position, level);
    } catch (const std::exception& error) {
      std::cerr << "could not mesh chunk " << position.x << ", " << position.y << ", "
                << position.z << ": " << error.what() << std::endl;
    }
    deliver(position, std::move(mesh));
  }
}

bool MeshWorker::waitForWork() {
  std::unique_lock<std::mutex> lock(m_wakeMutex);
  m_wakeCondition.wait(lock, [this] { return m_hasWork || !m_running; });
  return m_running;
}

bool MeshWorker::takeQueued(ChunkPosition& position, MeshLevel& level) {
  std::lock_guard<std::mutex> lock(m_queuesMutex);
  if (m_chunkQueue.empty()) {
    m_hasWork = false;
    return false;
  }
  position = m_chunkQueue.front();
  m_chunkQueue.pop_front();
  const auto queued = m_queuedChunks.find(position);
  level = queued->second;
  m_queuedChunks.erase(queued);
  m_inProgress = position;
  m_inProgressForgotten = false;
  return true;
}

Mesh MeshWorker::build(ChunkPosition position, MeshLevel level) {
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
  return mesh;
}

void MeshWorker::extract(ChunkPosition position, MeshLevel level) {
  if (level.detail == MeshDetail::Coarse)
    extractCoarseSurface(m_scratchVolume, position, level.finerSides, m_surface);
  else
    Vox::SurfaceExtractor<WorldVolume>(&m_scratchVolume, chunkExtractionRegion(position),
                                       &m_surface)
        .execute();
}

// A mesh that cannot be handed over for want of memory is reported like one
// that cannot be built.
void MeshWorker::deliver(ChunkPosition position, Mesh mesh) {
  std::lock_guard<std::mutex> lock(m_queuesMutex);
  const bool forgotten = m_inProgressForgotten;
  m_inProgress.reset();
  m_inProgressForgotten = false;
  if (!mesh || forgotten)
    return;
  try {
    m_finished.emplace_back(position, std::move(mesh));
  } catch (const std::exception& error) {
    std::cerr << "could not mesh chunk " << position.x << ", " << position.y << ", "
              << position.z << ": " << error.what() << std::endl;
  }
}
