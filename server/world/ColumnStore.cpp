#include "server/ColumnStore.h"

#include "server/ServerPackets.h"

namespace Server {

namespace {

constexpr int ColumnHeight = 128;
constexpr signed char FullSkyLight = 15;

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
  auto packet = std::make_shared<const std::string>(
      ServerPackets::bytes(columnPacket(m_terrain, chunkX, chunkZ)));
  keep(key, packet);
  return packet;
}

std::shared_ptr<const std::string> ColumnStore::find(Key key) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_packets.find(key);
  if (found == m_packets.end())
    return nullptr;
  m_order.splice(m_order.begin(), m_order, found->second.second);
  return found->second.first;
}

void ColumnStore::keep(Key key, std::shared_ptr<const std::string> packet) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_packets.count(key) != 0 || m_capacity == 0)
    return;
  m_order.push_front(key);
  m_packets.emplace(key, std::make_pair(std::move(packet), m_order.begin()));
  if (m_packets.size() > m_capacity) {
    m_packets.erase(m_order.back());
    m_order.pop_back();
  }
}

} // namespace Server
