#include "server/ColumnStore.h"

#include "server/ServerPackets.h"

namespace Server {

namespace {

constexpr int ColumnHeight = 128;
constexpr signed char FullSkyLight = 15;

// A block's place in its column's payload: y fastest, then z, then x.
int indexInColumn(std::int32_t x, std::int32_t y, std::int32_t z) {
  return ((x & 15) * 16 + (z & 15)) * ColumnHeight + y;
}

} // namespace

TSPackets::MapChunk columnPacket(const Terrain::TerrainGenerator& terrain, std::int32_t chunkX,
                                 std::int32_t chunkZ) {
  const Terrain::Column blocks = terrain.column(chunkX, chunkZ);
  TSPackets::MapChunk packet;
  packet.x = chunkX * 16;
  packet.y = 0;
  packet.z = chunkZ * 16;
  packet.sizeX = 15;
  packet.sizeY = 127;
  packet.sizeZ = 15;
  packet.type.assign(blocks.begin(), blocks.end());
  packet.metadata.assign(blocks.size(), 0);
  packet.blockLight.assign(blocks.size(), 0);
  packet.skyLight.assign(blocks.size(), 0);
  // Each run of 128 is one vertical line of blocks, bottom first.
  for (std::size_t base = 0; base < blocks.size(); base += ColumnHeight) {
    int y = ColumnHeight - 1;
    while (y >= 0 && blocks[base + y] == Terrain::Air) {
      packet.skyLight[base + y] = FullSkyLight;
      --y;
    }
  }
  return packet;
}

ColumnStore::ColumnStore(std::int64_t seed, std::size_t capacity)
    : m_terrain(seed), m_capacity(capacity) {}

std::shared_ptr<const std::string> ColumnStore::mapChunk(std::int32_t chunkX,
                                                         std::int32_t chunkZ) {
  const Key key{chunkX, chunkZ};
  if (auto packet = find(key))
    return packet;
  std::map<int, std::uint8_t> changed;
  std::uint64_t changes = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_changes.find(key);
    if (found != m_changes.end()) {
      changed = found->second.blocks;
      changes = found->second.count;
    }
  }
  TSPackets::MapChunk column = columnPacket(m_terrain, chunkX, chunkZ);
  for (const auto& [index, type] : changed)
    column.type[std::size_t(index)] = static_cast<signed char>(type);
  auto packet = std::make_shared<const std::string>(ServerPackets::bytes(column));
  keep(key, packet, changes);
  return packet;
}

std::uint8_t ColumnStore::blockAt(std::int32_t x, std::int32_t y, std::int32_t z) const {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_changes.find({x >> 4, z >> 4});
    if (found != m_changes.end()) {
      const auto block = found->second.blocks.find(indexInColumn(x, y, z));
      if (block != found->second.blocks.end())
        return block->second;
    }
  }
  return m_terrain.block(x, y, z);
}

// The column's packet is made again with the change the next time it is
// asked for.
void ColumnStore::setBlock(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t type) {
  const Key key{x >> 4, z >> 4};
  std::lock_guard<std::mutex> lock(m_mutex);
  Changes& changes = m_changes[key];
  changes.blocks[indexInColumn(x, y, z)] = type;
  ++changes.count;
  const auto cached = m_packets.find(key);
  if (cached != m_packets.end()) {
    m_order.erase(cached->second.second);
    m_packets.erase(cached);
  }
}

std::shared_ptr<const std::string> ColumnStore::find(Key key) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_packets.find(key);
  if (found == m_packets.end())
    return nullptr;
  m_order.splice(m_order.begin(), m_order, found->second.second);
  return found->second.first;
}

// A packet made while a player changed its column is not kept: it may miss
// the change.
void ColumnStore::keep(Key key, std::shared_ptr<const std::string> packet,
                       std::uint64_t changes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto changed = m_changes.find(key);
  const std::uint64_t now = changed == m_changes.end() ? 0 : changed->second.count;
  if (m_packets.count(key) != 0 || m_capacity == 0 || now != changes)
    return;
  m_order.push_front(key);
  m_packets.emplace(key, std::make_pair(std::move(packet), m_order.begin()));
  if (m_packets.size() > m_capacity) {
    m_packets.erase(m_order.back());
    m_order.pop_back();
  }
}

} // namespace Server
