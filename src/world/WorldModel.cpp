#include "world/WorldModel.h"

#include <iostream>
#include <string>
#include <utility>

#include "world/DetailPolicy.h"

namespace {

const std::string BeyondRadius =
    "beyond " + std::to_string(WorldModel::LoadRadius) + " columns of the player";
const std::string BeyondCount =
    "beyond the " + std::to_string(WorldModel::MaxLoadedChunks) + " the world holds";

std::string columnText(ChunkPosition position) {
  return std::to_string(position.x) + ", " + std::to_string(position.z);
}

} // namespace

WorldModel::WorldModel(DetailPolicy detail)
    : m_farChunks("ignored", "chunks " + BeyondRadius),
      m_excessChunks("ignored", "chunks " + BeyondCount),
      m_unloadedForRoom("unloaded", "chunks " + BeyondRadius + " to make room"),
      m_volume(WorldVolumeBlockSide),
      m_scheduler(m_chunks, detail,
                  [this](ChunkPosition position, MeshLevel level) {
                    m_worker.queueChunkForUpdate(position, level.detail, level.finerSides);
                  }),
      m_worker(m_volumeMutex, m_volume) {
  configureWorldVolume(m_volume);
}

void WorldModel::loadChunk(ChunkPosition position, Clock::time_point now) {
  if (isLoaded(position)) {
    std::cout << "tried to load chunk twice: " << position.x << ", " << position.y << ", "
              << position.z << std::endl;
    return;
  }
  if (!mayLoad(position, now))
    return;
  m_chunks.emplace(position, ChunkState{++m_loads, false});
  m_voxelsToFree.erase(position);
}

// The chunk's voxels go at the next update: a caller may hold the volume
// lock (a chunk's blocks being written), and a burst of unloads takes the
// lock once. Its neighbours' meshes keep what they read of them.
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
  m_voxelsToFree.insert(position);
}

void WorldModel::freeVoxels() {
  if (m_voxelsToFree.empty())
    return;
  std::lock_guard<std::mutex> lock(m_volumeMutex);
  for (ChunkPosition position : m_voxelsToFree)
    m_volume.eraseRegion({chunkLowerCorner(position), chunkUpperCorner(position)});
  m_voxelsToFree.clear();
}

bool WorldModel::nearPlayer(ChunkPosition position) const {
  return !m_playerColumn || columnDistance(position, *m_playerColumn) <= LoadRadius;
}

bool WorldModel::mayLoad(ChunkPosition position, Clock::time_point now) {
  if (!nearPlayer(position)) {
    m_farChunks.note([&] { return "ignored chunk " + columnText(position) + " " + BeyondRadius; },
                     now);
    return false;
  }
  if (m_chunks.size() >= MaxLoadedChunks && !unloadFarthest(now)) {
    m_excessChunks.note(
        [&] { return "ignored chunk " + columnText(position) + " " + BeyondCount; }, now);
    return false;
  }
  return true;
}

// Only a server that never unloads behind the player fills the world: a
// scan of the loaded chunks then costs less than keeping them ordered by
// distance for every server.
bool WorldModel::unloadFarthest(Clock::time_point now) {
  if (!m_playerColumn || m_chunks.empty())
    return false;
  auto farthest = m_chunks.begin();
  std::int64_t distance = -1;
  for (auto chunk = m_chunks.begin(); chunk != m_chunks.end(); ++chunk) {
    const std::int64_t d = columnDistance(chunk->first, *m_playerColumn);
    if (d > distance) {
      distance = d;
      farthest = chunk;
    }
  }
  if (distance <= LoadRadius)
    return false;
  const ChunkPosition position = farthest->first;
  m_unloadedForRoom.note(
      [&] {
        return "unloaded chunk " + columnText(position) + " " + BeyondRadius + " to make room";
      },
      now);
  unloadChunk(position);
  return true;
}

void WorldModel::blocksArrived(ChunkPosition position, Clock::time_point now) {
  if (!isLoaded(position)) {
    std::cout << "Stupid TS server sent us a chunk that it didn't tell us we should load"
              << std::endl;
    loadChunk(position, now);
    if (!isLoaded(position))
      return;
  }
  m_chunks.at(position).hasBlocks = true;
  m_scheduler.blocksArrived(position, now);
}

void WorldModel::remesh(ChunkPosition position) { m_scheduler.queueMesh(position); }

// The worker forgets an unloaded chunk's requests and meshes, so every mesh
// it hands over belongs to a loaded chunk.
void WorldModel::update(ChunkPosition eyeColumn, Clock::time_point now) {
  for (BurstLines* lines : {&m_farChunks, &m_excessChunks, &m_unloadedForRoom})
    lines->end(now);
  freeVoxels();
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
