#ifndef PLAYER_MOVEMENT_H
#define PLAYER_MOVEMENT_H

// The player's body as the protocol's players move, one tick at a time, in
// blocks and ticks of 50 ms: a box 0.6 wide and 1.8 tall that walks,
// runs, jumps, falls, wades and swims, and collides with every solid block.
// Plain functions of the state, the controls and the blocks, the same in
// tests as in the game.

#include "player/BlockSource.h"
#include "vox/Vector.h"

namespace PlayerBody {

constexpr double Width = 0.6;
constexpr double Height = 1.8;

struct State {
  // The middle of the box's bottom face.
  Vox::Vector3DDouble feet;
  // Blocks a tick.
  Vox::Vector3DDouble velocity;
  // The last tick's fall was stopped by the ground.
  bool onGround = false;
};

struct Controls {
  // -1 (back) to 1 (forward), and -1 (right) to 1 (left).
  double forward = 0;
  double strafe = 0;
  bool jump = false;
  bool run = false;
  // The protocol's yaw in degrees: 0 looks along +z, 90 along -x.
  double yaw = 0;
};

// One tick. Columns that have not arrived stop the player like walls, and a
// player whose own column has not arrived does not fall.
State step(const State& state, const Controls& controls, const BlockSource& blocks);

// Whether the box with its feet there overlaps a solid block (or a column
// that has not arrived).
bool collides(const Vox::Vector3DDouble& feet, const BlockSource& blocks);

} // namespace PlayerBody

#endif
