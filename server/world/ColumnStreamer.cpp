#include "server/ColumnStreamer.h"

#include <algorithm>
#include <cstdlib>

namespace Server {

namespace {

// The player's own column and its eight neighbours.
constexpr int NearRadius = 1;

} // namespace

ColumnStreamer::ColumnStreamer(int viewRadius) : m_radius(std::max(0, viewRadius)) {
  for (int dx = -m_radius; dx <= m_radius; ++dx)
    for (int dz = -m_radius; dz <= m_radius; ++dz)
      m_offsets.emplace_back(dx, dz);
  std::stable_sort(m_offsets.begin(), m_offsets.end(), [](const Key& a, const Key& b) {
    return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
  });
}

void ColumnStreamer::setCenter(std::int32_t chunkX, std::int32_t chunkZ) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_center = {chunkX, chunkZ};
  m_hasCenter = true;
}

void ColumnStreamer::restart(std::int32_t chunkX, std::int32_t chunkZ, std::string bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_loaded.clear();
  m_center = {chunkX, chunkZ};
  m_hasCenter = true;
  m_held = std::move(bytes);
}

void ColumnStreamer::holdUntilNearLoaded(std::string bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_held = std::move(bytes);
}

bool ColumnStreamer::inRange(Key column) const {
  return std::llabs(static_cast<long long>(column.first) - m_center.first) <= m_radius &&
         std::llabs(static_cast<long long>(column.second) - m_center.second) <= m_radius;
}

bool ColumnStreamer::nearLoaded() const {
  const int near = std::min(NearRadius, m_radius);
  for (int dx = -near; dx <= near; ++dx)
    for (int dz = -near; dz <= near; ++dz)
      if (m_loaded.count({m_center.first + dx, m_center.second + dz}) == 0)
        return false;
  return true;
}

std::optional<ColumnStreamer::Step> ColumnStreamer::next() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_hasCenter)
    return std::nullopt;
  for (auto column = m_loaded.begin(); column != m_loaded.end(); ++column) {
    if (!inRange(*column)) {
      Step step{Step::Kind::Unload, column->first, column->second, {}};
      m_loaded.erase(column);
      return step;
    }
  }
  if (m_held && nearLoaded()) {
    Step step{Step::Kind::Release, m_center.first, m_center.second, std::move(*m_held)};
    m_held.reset();
    return step;
  }
  for (const Key& offset : m_offsets) {
    const Key column{m_center.first + offset.first, m_center.second + offset.second};
    if (m_loaded.insert(column).second)
      return Step{Step::Kind::Load, column.first, column.second, {}};
  }
  return std::nullopt;
}

bool ColumnStreamer::loaded(std::int32_t chunkX, std::int32_t chunkZ) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_loaded.count({chunkX, chunkZ}) != 0;
}

std::size_t ColumnStreamer::loadedCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_loaded.size();
}

} // namespace Server
