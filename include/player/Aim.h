#ifndef PLAYER_AIM_H
#define PLAYER_AIM_H

// What the player aims at: the first block along the look, from the eye,
// that is neither air nor a fluid, within reach, and the face the look
// enters it by. Blocks, not the drawn smooth surface: the server reasons in
// blocks.

#include <cstdint>
#include <optional>

#include "player/BlockSource.h"
#include "vox/Vector.h"

// The protocol's numbers of a block's faces.
enum class BlockFace : std::uint8_t { Bottom = 0, Top = 1, North = 2, South = 3, West = 4, East = 5 };

struct AimedBlock {
  Vox::Vector3DInt32 block;
  BlockFace face;

  friend bool operator==(const AimedBlock& a, const AimedBlock& b) {
    return a.block == b.block && a.face == b.face;
  }
  friend bool operator!=(const AimedBlock& a, const AimedBlock& b) { return !(a == b); }
};

// How far a hand reaches to dig or place, in blocks from the eye.
constexpr double HandReach = 4;

// The unit vector of a look in the protocol's degrees: yaw 0 along +z and
// 90 along -x, pitch positive looking down.
Vox::Vector3DDouble lookDirection(double yaw, double pitch);

// Walks the block grid from the eye along `direction` (a unit vector), one
// cell boundary at a time, up to `reach` blocks. The eye's own block is not
// aimed at; a column that has not arrived ends the aim.
std::optional<AimedBlock> aimAt(const Vox::Vector3DDouble& eye,
                                const Vox::Vector3DDouble& direction, double reach,
                                const BlockSource& blocks);

// The block beyond the face: where a block placed against it goes.
Vox::Vector3DInt32 besideFace(const AimedBlock& aimed);

#endif
