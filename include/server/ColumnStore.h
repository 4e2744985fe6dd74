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
// seeded terrain on first use with the blocks the players have changed since,
// and kept for the most recently used ones, so that players near each other
// share the work. The players' changes last as long as the server runs.
class ColumnStore {
public:
  ColumnStore(std::int64_t seed, std::size_t capacity);

  // The whole MapChunk packet, id byte included. Generation runs outside the
  // store's lock.
  std::shared_ptr<const std::string> mapChunk(std::int32_t chunkX, std::int32_t chunkZ);

  // The block a player changed, or the terrain's; y from 0 to 127.
  std::uint8_t blockAt(std::int32_t x, std::int32_t y, std::int32_t z) const;
  void setBlock(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t type);

  const Terrain::TerrainGenerator& terrain() const { return m_terrain; }

private:
  using Key = std::pair<std::int32_t, std::int32_t>;
  // A column's changed blocks by their index in the column, and how many
  // changes it has had: a packet generated before the last change is stale.
  struct Changes {
    std::map<int, std::uint8_t> blocks;
    std::uint64_t count = 0;
  };

  std::shared_ptr<const std::string> find(Key key);
  void keep(Key key, std::shared_ptr<const std::string> packet, std::uint64_t changes);

  const Terrain::TerrainGenerator m_terrain;
  const std::size_t m_capacity;
  mutable std::mutex m_mutex;
  std::map<Key, Changes> m_changes;
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
