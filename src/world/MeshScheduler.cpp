#include "world/MeshScheduler.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "CoarseSurface.h"

MeshScheduler::MeshScheduler(const ChunkStates& chunks, DetailPolicy policy, Queue queue)
    : m_chunks(chunks), m_policy(policy), m_queue(std::move(queue)) {}

void MeshScheduler::blocksArrived(ChunkPosition position, Clock::time_point now) {
  m_lastBlocksArrival = now;
  for (std::int32_t x = position.x - 1; x <= position.x + 1; ++x) {
    for (std::int32_t z = position.z - 1; z <= position.z + 1; ++z) {
      const ChunkPosition neighbour(x, position.y, z);
      if (isLoaded(neighbour))
        scheduleRemesh(neighbour, now);
    }
  }
}

bool MeshScheduler::neighbourhoodComplete(ChunkPosition position) const {
  for (std::int32_t x = position.x - 1; x <= position.x + 1; ++x)
    for (std::int32_t z = position.z - 1; z <= position.z + 1; ++z) {
      const auto chunk = m_chunks.find(ChunkPosition(x, position.y, z));
      if (chunk == m_chunks.end() || !chunk->second.hasBlocks)
        return false;
    }
  return true;
}

void MeshScheduler::scheduleRemesh(ChunkPosition position, Clock::time_point now) {
  if (neighbourhoodComplete(position)) {
    m_remeshDeadlines.erase(position);
    queueMesh(position);
  } else {
    m_remeshDeadlines.emplace(position, now + NeighbourWait);
  }
}

void MeshScheduler::queueMesh(ChunkPosition position) {
  if (!isLoaded(position))
    return;
  const MeshLevel level = wantedLevel(position);
  m_queue(position, level);
  m_meshLevel[position] = level;
}

void MeshScheduler::forget(ChunkPosition position) {
  m_remeshDeadlines.erase(position);
  m_meshLevel.erase(position);
}

std::optional<MeshLevel> MeshScheduler::meshLevel(ChunkPosition position) const {
  const auto level = m_meshLevel.find(position);
  if (level == m_meshLevel.end())
    return std::nullopt;
  return level->second;
}

void MeshScheduler::update(ChunkPosition eyeColumn, Clock::time_point now) {
  m_eyeColumn = eyeColumn;
  queueDueRemeshes(now);
  queueDetailChanges();
}

void MeshScheduler::queueDueRemeshes(Clock::time_point now) {
  const bool quiet = now - m_lastBlocksArrival >= QuietWait;
  for (auto it = m_remeshDeadlines.begin(); it != m_remeshDeadlines.end();) {
    const ChunkPosition position = it->first;
    if (quiet || now >= it->second || neighbourhoodComplete(position)) {
      queueMesh(position);
      it = m_remeshDeadlines.erase(it);
    } else {
      ++it;
    }
  }
}

MeshDetail MeshScheduler::wantedDetail(ChunkPosition position) const {
  const auto meshed = m_meshLevel.find(position);
  return m_policy.wantedDetail(
      columnDistance(position, m_eyeColumn),
      meshed == m_meshLevel.end() ? std::nullopt : std::optional(meshed->second.detail));
}

// A neighbour that has not been meshed yet counts with the detail it will
// get, so that a coarse chunk is not meshed again as its neighbours follow.
MeshLevel MeshScheduler::wantedLevel(ChunkPosition position) const {
  const MeshDetail detail = wantedDetail(position);
  if (detail != MeshDetail::Coarse)
    return {detail, 0};
  const std::pair<ChunkSide, ChunkPosition> sides[] = {
      {LowXSide, {position.x - 1, position.y, position.z}},
      {HighXSide, {position.x + 1, position.y, position.z}},
      {LowZSide, {position.x, position.y, position.z - 1}},
      {HighZSide, {position.x, position.y, position.z + 1}}};
  unsigned finerSides = 0;
  for (const auto& [side, neighbour] : sides) {
    if (!isLoaded(neighbour))
      continue;
    const auto meshed = m_meshLevel.find(neighbour);
    const MeshDetail other = meshed != m_meshLevel.end() ? meshed->second.detail
                                                          : wantedDetail(neighbour);
    if (other != MeshDetail::Coarse)
      finerSides |= side;
  }
  return {detail, finerSides};
}

// Chunks still waiting for their neighbours get the right detail when they
// are meshed anyway.
void MeshScheduler::queueDetailChanges() {
  std::vector<std::pair<std::int64_t, ChunkPosition>> changes;
  for (const auto& [position, level] : m_meshLevel)
    if (level != wantedLevel(position) && m_remeshDeadlines.count(position) == 0)
      changes.emplace_back(columnDistance(position, m_eyeColumn), position);
  const std::size_t count = std::min(changes.size(), DetailRemeshesPerUpdate);
  std::partial_sort(changes.begin(), changes.begin() + std::ptrdiff_t(count), changes.end());
  for (std::size_t i = 0; i < count; ++i)
    queueMesh(changes[i].second);
}
