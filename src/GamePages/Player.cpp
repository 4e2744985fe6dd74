#include "GamePages/Player.h"

#include <mutex>

#include "WorldBounds.h"
#include "world/WorldModel.h"

namespace GamePages {

namespace {

const std::uint16_t JumpTicks = 20;
const float JumpLift = 2.0f;

// The eye of feet within the world's bounds (WorldBounds.h), nearest to the
// eye of the feet given.
Vox::Vector3DFloat eyeWithinWorld(double x, double feetY, double z) {
  return {float(WorldBounds::clampHorizontal(x)),
          float(WorldBounds::clampHeight(feetY) + EyeHeight),
          float(WorldBounds::clampHorizontal(z))};
}

} // namespace

void Player::placeFeetAt(double x, double feetY, double z) {
  m_eye.placeAt(eyeWithinWorld(x, feetY, z));
}

// Walking or jumping on and on stops at the edge of the world.
void Player::move(const MovementInput& input, double yaw, WorldModel& world) {
  Vox::Vector3DFloat motion = horizontalMotion(yaw, input);
  motion.y = verticalMotion(input, world);
  const Vox::Vector3DFloat eye = m_eye.current();
  const Vox::Vector3DFloat next = eye + motion;
  if (!WorldBounds::contains(next.x, double(next.y) - EyeHeight, next.z))
    motion = eyeWithinWorld(next.x, double(next.y) - EyeHeight, next.z) - eye;
  m_eye.advance(motion);
}

float Player::verticalMotion(const MovementInput& input, WorldModel& world) {
  if (input.jump) {
    float lift = 0;
    if (m_jumpTimer == 0) {
      lift = JumpLift;
      m_jumpTimer = JumpTicks;
    }
    --m_jumpTimer;
    return lift;
  }
  if (m_jumpTimer != 0) {
    --m_jumpTimer;
    return 0;
  }
  const Vox::Vector3DFloat eye = m_eye.current();
  int ground;
  {
    std::lock_guard<std::mutex> lock(world.volumeMutex());
    ground = groundHeight(world.volume(), eye.x, eye.y, eye.z);
  }
  return groundFollowStep(eye.y, ground);
}

} // namespace GamePages
