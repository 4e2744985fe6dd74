#ifndef WORLD_BOUNDS_H
#define WORLD_BOUNDS_H

// Where the world ends for the positions the client takes: the server's
// places for the player and the entities, and the player's own movement.
// Horizontally the world is the 32-bit block coordinates; a position there is
// still one after its conversion to single precision (the camera's), whose
// step is 128 blocks at that distance, and a tick's run beyond it. Heights
// far outside the world's single layer of chunks make no sense for anything
// in it. Within these bounds every conversion of a coordinate to a block is
// exact and in range.

#include <cmath>
#include <cstdint>

#include "ChunkPosition.h"

namespace WorldBounds {

// The largest |x| and |z| of a position, in blocks: 2^31 less two steps of
// a float there.
constexpr double HorizontalLimit = 2147483648.0 - 256.0;
// The largest |y| of a position, in blocks.
constexpr double HeightLimit = 65536.0;

inline bool horizontalInside(double coordinate) {
  return std::isfinite(coordinate) && std::fabs(coordinate) <= HorizontalLimit;
}

inline bool heightInside(double height) {
  return std::isfinite(height) && std::fabs(height) <= HeightLimit;
}

inline bool contains(double x, double y, double z) {
  return horizontalInside(x) && heightInside(y) && horizontalInside(z);
}

// The nearest value within the bounds; 0 for a coordinate that is not a
// number.
inline double clampHorizontal(double coordinate) {
  if (std::isnan(coordinate))
    return 0;
  return std::fmax(-HorizontalLimit, std::fmin(HorizontalLimit, coordinate));
}

inline double clampHeight(double height) {
  if (std::isnan(height))
    return 0;
  return std::fmax(-HeightLimit, std::fmin(HeightLimit, height));
}

// The block a coordinate lies in (floor division), held within the bounds.
inline std::int32_t blockOf(double coordinate) {
  return static_cast<std::int32_t>(std::floor(clampHorizontal(coordinate)));
}

// The column of chunks a point lies in.
inline ChunkPosition columnOf(double x, double z) {
  return chunkOfBlock(blockOf(x), 0, blockOf(z));
}

} // namespace WorldBounds

#endif
