#include "WorldManagerThread.h"

#include <utility>

#include "vox/Region.h"
#include "vox/SurfaceExtractor.h"
#include "vox/VolumeResampler.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;

const Vox::Vector3DInt32 chunkUpperOffset(15, 127, 15);
// The extractor's gradients read one voxel beyond the extraction region, which
// itself reaches one voxel beyond the chunk in +x, +y and +z.
const Vox::Vector3DInt32 copyBorder(2, 2, 2);
const Vox::Vector3DInt32 extractionBorder(1, 1, 1);

} // namespace

WorldManagerThread::WorldManagerThread(std::mutex& volumeMutex, Volume& volume)
    : m_scratchVolume(32), m_volumeMutex(volumeMutex), m_volume(volume),
      m_thread(&WorldManagerThread::ThreadLoop, this) {}

WorldManagerThread::~WorldManagerThread() {
  {
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_running = false;
  }
  m_wakeCondition.notify_one();
  m_thread.join();
}

void WorldManagerThread::queueChunkForUpdate(ChunkPosition position) {
  std::lock_guard<std::mutex> queueLock(m_queueMutex);
  if (m_queuedChunks.insert(position).second) {
    m_chunkQueue.push_back(position);
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
  while (waitForWork()) {
    if (takeQueued(position)) {
      process(position);
    }
  }
}

bool WorldManagerThread::waitForWork() {
  std::unique_lock<std::mutex> lock(m_wakeMutex);
  m_wakeCondition.wait(lock, [this] { return m_hasWork || !m_running; });
  return m_running;
}

bool WorldManagerThread::takeQueued(ChunkPosition& position) {
  std::lock_guard<std::mutex> lock(m_queueMutex);
  if (m_chunkQueue.empty()) {
    m_hasWork = false;
    return false;
  }
  position = m_chunkQueue.front();
  m_chunkQueue.pop_front();
  m_queuedChunks.erase(position);
  return true;
}

void WorldManagerThread::process(ChunkPosition position) {
  const Vox::Vector3DInt32 lower = chunkLowerCorner(position);
  const Vox::Vector3DInt32 upper = lower + chunkUpperOffset;
  const Vox::Region copyRegion(lower - copyBorder, upper + copyBorder);
  {
    std::lock_guard<std::mutex> lock(m_volumeMutex);
    Vox::VolumeResampler<Volume, Volume> copy(&m_volume, copyRegion, &m_scratchVolume,
                                              copyRegion);
    copy.execute();
  }

  Mesh mesh = std::make_unique<Vox::SurfaceMesh<Vox::PositionMaterialNormal>>();
  Vox::SurfaceExtractor<Volume> extractor(
      &m_scratchVolume, Vox::Region(lower, upper + extractionBorder), mesh.get());
  extractor.execute();

  std::lock_guard<std::mutex> lock(m_resultMutex);
  m_finishedPositions.push_back(position);
  m_finishedMeshes.push_back(std::move(mesh));
}
