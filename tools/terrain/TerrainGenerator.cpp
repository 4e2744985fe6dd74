#include "terrain/TerrainGenerator.h"

#include <cmath>

namespace Terrain {

namespace {

constexpr int SeaLevel = 62;

// A seed moves the landscape by a whole, seed-dependent distance.
double seedOffset(std::int64_t seed, std::uint64_t salt) {
  std::uint64_t h = static_cast<std::uint64_t>(seed) * 0x9E3779B97F4A7C15ull + salt;
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 29;
  return seed == 0 ? 0.0 : static_cast<double>(h % 100000);
}

} // namespace

TerrainGenerator::TerrainGenerator(std::int64_t seed)
    : m_offsetX(seedOffset(seed, 1)), m_offsetZ(seedOffset(seed, 2)) {}

int TerrainGenerator::height(std::int32_t x, std::int32_t z) const {
  const double fx = x + m_offsetX;
  const double fz = z + m_offsetZ;
  return static_cast<int>(64 + 8 * std::sin(fx / 9.0) + 6 * std::cos(fz / 7.0) +
                          4 * std::sin((fx + fz) / 5.0));
}

std::uint8_t TerrainGenerator::blockAt(std::int32_t x, std::int32_t y, std::int32_t z,
                                       int h) const {
  if (y == 0)
    return Bedrock;
  if (y > h)
    return y <= SeaLevel ? Water : Air;
  const double fx = x + m_offsetX;
  const double fz = z + m_offsetZ;
  const double cave = std::sin(fx * 0.31) * std::cos(fz * 0.29) * std::sin(y * 0.23);
  if (y > 8 && y < h - 3 && cave > 0.55)
    return Air;
  if (y == h)
    return h > SeaLevel ? Grass : Gravel;
  if (y > h - 4)
    return Dirt;
  // Ore follows the unshifted coordinates; a zero remainder is sign-free.
  if ((x * 31 + y * 17 + z * 13) % 97 == 0)
    return Ore;
  return Stone;
}

std::uint8_t TerrainGenerator::block(std::int32_t x, std::int32_t y, std::int32_t z) const {
  if (y < 0 || y >= ChunkSizeY)
    return Air;
  return blockAt(x, y, z, height(x, z));
}

Column TerrainGenerator::column(std::int32_t chunkX, std::int32_t chunkZ) const {
  Column blocks(ColumnBlocks);
  for (int lx = 0; lx < ChunkSizeX; ++lx) {
    for (int lz = 0; lz < ChunkSizeZ; ++lz) {
      const std::int32_t x = chunkX * ChunkSizeX + lx;
      const std::int32_t z = chunkZ * ChunkSizeZ + lz;
      const int h = height(x, z);
      const int base = (lx * ChunkSizeZ + lz) * ChunkSizeY;
      for (int y = 0; y < ChunkSizeY; ++y)
        blocks[base + y] = blockAt(x, y, z, h);
    }
  }
  return blocks;
}

} // namespace Terrain
