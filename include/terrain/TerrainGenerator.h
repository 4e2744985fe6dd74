#ifndef TERRAIN_GENERATOR_H
#define TERRAIN_GENERATOR_H

#include <cstdint>
#include <vector>

#include "ChunkGeometry.h"

namespace Terrain {

// Blocks of one 16 x 128 x 16 column, at index (x * 16 + z) * 128 + y: the
// order of the block-type section of a map chunk payload.
using Column = std::vector<std::uint8_t>;

constexpr int ColumnBlocks = ChunkBlocks;

// Block types the generator uses.
enum Block : std::uint8_t {
  Air = 0,
  Stone = 1,
  Grass = 2,
  Dirt = 3,
  Bedrock = 7,
  Water = 9,
  Gravel = 13,
  Ore = 56,
};

// Hills around height 64, caves, water below 63, grass, dirt, gravel
// shores, bedrock at 0 and scattered ore. Seed 0 gives the reference world
// of the benchmarks; other seeds shift the landscape.
class TerrainGenerator {
public:
  explicit TerrainGenerator(std::int64_t seed = 0);

  Column column(std::int32_t chunkX, std::int32_t chunkZ) const;
  std::uint8_t block(std::int32_t x, std::int32_t y, std::int32_t z) const;
  // Height of the topmost non-air, non-water ground block at (x, z).
  int height(std::int32_t x, std::int32_t z) const;

private:
  std::uint8_t blockAt(std::int32_t x, std::int32_t y, std::int32_t z, int height) const;

  double m_offsetX;
  double m_offsetZ;
};

} // namespace Terrain

#endif
