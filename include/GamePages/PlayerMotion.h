#ifndef GAME_PAGES_PLAYER_MOTION_H
#define GAME_PAGES_PLAYER_MOTION_H

// The player's motion per tick, in blocks: walking and running relative to
// the look direction, and following the ground below the eye.

#include "ProtocolConstants.h"
#include "TSVoxel.h"
#include "vox/LargeVolume.h"
#include "vox/Vector.h"

namespace GamePages {

// The eye (the camera) is this far above the feet.
using TSProtocol::EyeHeight;

struct MovementInput {
  bool forward = false;
  bool back = false;
  bool right = false;
  bool left = false;
  bool fast = false;
  bool jump = false;
};

// Horizontal motion for the camera's yaw (radians, 0 looking along -z):
// forward wins over back, left over right; diagonals are as fast as straight
// moves; 0.2 blocks per tick, 5 when fast.
Vox::Vector3DFloat horizontalMotion(double yaw, const MovementInput& input);

// Height the feet should stand on below an eye at (x, y, z): one above the
// highest solid voxel of the column at or below y - 1, or -1 if there is
// none. Coordinates are truncated toward zero. The caller holds the
// volume's lock.
int groundHeight(Vox::LargeVolume<TSVoxel>& volume, float x, float y, float z);

// Vertical motion that brings feet 1.62 below the eye toward the ground, at
// most one block per tick.
float groundFollowStep(float eyeY, int ground);

} // namespace GamePages

#endif
