#include "GamePages/Player.h"

#include "WorldBounds.h"

namespace GamePages {

namespace {

Vox::Vector3DFloat eyeOf(const Vox::Vector3DDouble& feet) {
  return {float(feet.x), float(feet.y + EyeHeight), float(feet.z)};
}

} // namespace

void Player::placeFeetAt(double x, double feetY, double z) {
  m_body = PlayerBody::State();
  m_body.feet = {x, feetY, z};
  keepWithinWorld();
  m_eye.placeAt(eyeOf(m_body.feet));
}

void Player::move(const PlayerBody::Controls& controls, const BlockSource& blocks) {
  const Vox::Vector3DFloat before = m_eye.current();
  m_body = PlayerBody::step(m_body, controls, blocks);
  keepWithinWorld();
  m_eye.advance(eyeOf(m_body.feet) - before);
}

Vox::Vector3DDouble Player::eyePosition() const {
  return {m_body.feet.x, m_body.feet.y + EyeHeight, m_body.feet.z};
}

// Running or falling on and on stops at the edge of the world (WorldBounds.h),
// at the place nearest to where the body would have gone.
void Player::keepWithinWorld() {
  Vox::Vector3DDouble& feet = m_body.feet;
  if (WorldBounds::contains(feet.x, feet.y, feet.z))
    return;
  feet = {WorldBounds::clampHorizontal(feet.x), WorldBounds::clampHeight(feet.y),
          WorldBounds::clampHorizontal(feet.z)};
  m_body.velocity = {};
}

} // namespace GamePages
