#include "GamePages/Player.h"

#include <mutex>

#include "world/WorldModel.h"

namespace GamePages {

namespace {

const std::uint16_t JumpTicks = 20;
const float JumpLift = 2.0f;

} // namespace

void Player::placeFeetAt(double x, double feetY, double z) {
  m_eye.placeAt({float(x), float(feetY + EyeHeight), float(z)});
}

void Player::move(const MovementInput& input, double yaw, WorldModel& world) {
  Vox::Vector3DFloat motion = horizontalMotion(yaw, input);
  motion.y = verticalMotion(input, world);
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
