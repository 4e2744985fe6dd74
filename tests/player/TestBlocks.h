#ifndef TESTS_PLAYER_TEST_BLOCKS_H
#define TESTS_PLAYER_TEST_BLOCKS_H

// A small world for the player's mechanics: air everywhere but the blocks
// set, and columns that have not arrived.

#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "player/BlockSource.h"

class TestBlocks : public BlockSource {
public:
  void set(int x, int y, int z, std::uint8_t type) { m_blocks[{x, y, z}] = type; }
  // A solid floor of stone under y = 64 over x and z from -32 to 31.
  void floorAt64() {
    for (int x = -32; x < 32; ++x)
      for (int z = -32; z < 32; ++z)
        set(x, 63, z, 1);
  }
  void missingColumn(int x, int z) { m_missing.insert({x, z}); }

  std::optional<std::uint8_t> blockAt(std::int32_t x, std::int32_t y,
                                      std::int32_t z) const override {
    if (m_missing.count({x, z}))
      return std::nullopt;
    const auto found = m_blocks.find({x, y, z});
    return found == m_blocks.end() ? 0 : found->second;
  }

private:
  std::map<std::tuple<int, int, int>, std::uint8_t> m_blocks;
  std::set<std::pair<int, int>> m_missing;
};

#endif
