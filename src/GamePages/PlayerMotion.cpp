#include "GamePages/PlayerMotion.h"

#include <algorithm>
#include <cmath>

namespace GamePages {

namespace {

const float WalkSpeed = 0.2f;
const float RunSpeed = 5.0f;
const double QuarterTurn = 1.5707963267948966;
// No chunk packet the world accepts writes above this height: the scan
// starts no higher, so a player high in the sky doesn't page in empty
// volume blocks.
const int HighestWrittenBlock = 254;

} // namespace

Vox::Vector3DFloat horizontalMotion(double yaw, const MovementInput& input) {
  Vox::Vector3DFloat v;
  const float s = std::sin(float(yaw));
  const float c = std::cos(float(yaw));
  if (input.forward)
    v = v + Vox::Vector3DFloat(-s, 0, -c);
  else if (input.back)
    v = v + Vox::Vector3DFloat(s, 0, c);
  if (input.left)
    v = v + Vox::Vector3DFloat(float(-std::sin(yaw + QuarterTurn)), 0,
                               float(-std::cos(yaw + QuarterTurn)));
  else if (input.right)
    v = v + Vox::Vector3DFloat(float(std::sin(yaw + QuarterTurn)), 0,
                               float(std::cos(yaw + QuarterTurn)));
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length > 0)
    v = Vox::Vector3DFloat(v.x / length, v.y / length, v.z / length);
  return v * (input.fast ? RunSpeed : WalkSpeed);
}

int groundHeight(Vox::LargeVolume<TSVoxel>& volume, float x, float y, float z) {
  const double start = double(y) - 1.0;
  if (!(start > -1.0)) // truncates below 0, or not a number
    return -1;
  // Beyond the 32-bit block range there is no ground to stand on.
  if (!(std::fabs(x) < 2e9f && std::fabs(z) < 2e9f))
    return -1;
  const int top = start >= HighestWrittenBlock ? HighestWrittenBlock : static_cast<int>(start);
  const auto xi = static_cast<std::int32_t>(x);
  const auto zi = static_cast<std::int32_t>(z);
  for (int h = top; h >= 0; --h)
    if (volume.getVoxelAt(xi, h, zi).m_type != 0)
      return h + 1;
  return -1;
}

float groundFollowStep(float eyeY, int ground) {
  const float step = static_cast<float>(ground - (eyeY - EyeHeight));
  return std::clamp(step, -1.0f, 1.0f);
}

} // namespace GamePages
