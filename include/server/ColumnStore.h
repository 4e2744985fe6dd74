#ifndef COLUMN_STORE_H
#define COLUMN_STORE_H

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "TSPackets.h"
#include "terrain/TerrainGenerator.h"

namespace Server {

// The world's columns as ready-to-send map chunk packets, generated from the
// seeded terrain on first use and kept for the most recently used ones, so
// that players near each other share the work.
class ColumnStore {
public:
  ColumnStore(std::int64_t seed, std::size_t capacity);

  // The whole MapChunk packet, id byte included. Generation runs outside the
  // store's lock.
  std::shared_ptr<const std::string> mapChunk(std::int32_t chunkX, std::int32_t chunkZ);

  const Terrain::TerrainGenerator& terrain() const { return m_terrain; }

private:
  using Key = std::pair<std::int32_t, std::int32_t>;

  std::shared_ptr<const std::string> find(Key key);
  void keep(Key key, std::shared_ptr<const std::string> packet);

  const Terrain::TerrainGenerator m_terrain;
  const std::size_t m_capacity;
  std::mutex m_mutex;
  // Most recently used first.
  std::list<Key> m_order;
  std::map<Key, std::pair<std::shared_ptr<const std::string>, std::list<Key>::iterator>> m_packets;
};

// The full 16 x 128 x 16 column at chunk (chunkX, chunkZ): the terrain's
// blocks, metadata and block light 0, sky light 15 above the topmost block.
TSPackets::MapChunk columnPacket(const Terrain::TerrainGenerator& terrain, std::int32_t chunkX,
                                 std::int32_t chunkZ);

} // namespace Server

#endif
