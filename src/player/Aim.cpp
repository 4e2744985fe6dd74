#include "player/Aim.h"

#include <cmath>
#include <limits>

#include "world/BlockKinds.h"

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Per axis: the faces entered when stepping up and down it.
constexpr BlockFace EnteredUp[3] = {BlockFace::West, BlockFace::Bottom, BlockFace::North};
constexpr BlockFace EnteredDown[3] = {BlockFace::East, BlockFace::Top, BlockFace::South};

bool aimable(std::uint8_t block) { return block != 0 && !isFluid(block); }

} // namespace

Vox::Vector3DDouble lookDirection(double yaw, double pitch) {
  const double yawRadians = yaw * M_PI / 180;
  const double pitchRadians = pitch * M_PI / 180;
  const double level = std::cos(pitchRadians);
  return {-std::sin(yawRadians) * level, -std::sin(pitchRadians),
          std::cos(yawRadians) * level};
}

std::optional<AimedBlock> aimAt(const Vox::Vector3DDouble& eye,
                                const Vox::Vector3DDouble& direction, double reach,
                                const BlockSource& blocks) {
  const double origin[3] = {eye.x, eye.y, eye.z};
  const double along[3] = {direction.x, direction.y, direction.z};
  if (!std::isfinite(eye.x + eye.y + eye.z) ||
      !std::isfinite(direction.x + direction.y + direction.z) || !(reach > 0))
    return std::nullopt;
  std::int64_t cell[3];
  int step[3];
  double next[3];   // the distance along the ray to the next boundary
  double across[3]; // the distance between two boundaries
  for (int axis = 0; axis < 3; ++axis) {
    const double start = std::floor(origin[axis]);
    if (std::abs(start) > 2e9)
      return std::nullopt;
    cell[axis] = std::int64_t(start);
    step[axis] = along[axis] > 0 ? 1 : -1;
    if (along[axis] == 0) {
      next[axis] = across[axis] = Infinity;
      continue;
    }
    const double boundary = along[axis] > 0 ? start + 1 : start;
    next[axis] = (boundary - origin[axis]) / along[axis];
    across[axis] = 1 / std::abs(along[axis]);
  }
  for (;;) {
    int axis = 0;
    if (next[1] < next[axis])
      axis = 1;
    if (next[2] < next[axis])
      axis = 2;
    if (next[axis] > reach)
      return std::nullopt;
    cell[axis] += step[axis];
    next[axis] += across[axis];
    const Vox::Vector3DInt32 block{std::int32_t(cell[0]), std::int32_t(cell[1]),
                                   std::int32_t(cell[2])};
    const std::optional<std::uint8_t> type = blocks.blockAt(block.x, block.y, block.z);
    if (!type)
      return std::nullopt;
    if (aimable(*type))
      return AimedBlock{block, step[axis] > 0 ? EnteredUp[axis] : EnteredDown[axis]};
  }
}

Vox::Vector3DInt32 besideFace(const AimedBlock& aimed) {
  Vox::Vector3DInt32 beside = aimed.block;
  switch (aimed.face) {
  case BlockFace::Bottom:
    --beside.y;
    break;
  case BlockFace::Top:
    ++beside.y;
    break;
  case BlockFace::North:
    --beside.z;
    break;
  case BlockFace::South:
    ++beside.z;
    break;
  case BlockFace::West:
    --beside.x;
    break;
  case BlockFace::East:
    ++beside.x;
    break;
  }
  return beside;
}
