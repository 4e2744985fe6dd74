#include "Entities/Movable.h"

#include <cstdint>

namespace Entities {

namespace {

// One axis of the motion: the remainder takes the velocity, whole position
// units move over to the position and the remainder keeps the sign of the
// motion. Wide arithmetic and a wrapping position keep any value the server
// sends well defined.
void advance(std::int32_t& position, std::int32_t& remainder, std::int32_t velocity) {
  const std::int64_t motion = std::int64_t{remainder} + velocity;
  const std::int64_t whole = motion / 1000;
  remainder = static_cast<std::int32_t>(motion - whole * 1000);
  position = static_cast<std::int32_t>(static_cast<std::uint32_t>(position) +
                                       static_cast<std::uint32_t>(whole));
}

} // namespace

void Movable::update() {
  advance(m_position.x, m_remainder.x, m_velocity.x);
  advance(m_position.y, m_remainder.y, m_velocity.y);
  advance(m_position.z, m_remainder.z, m_velocity.z);
  Renderable::update();
}

std::string Movable::getMeshName() const { return "sphere.mesh"; }

double Movable::getMeshScale() const { return entityMeshScale; }

Vox::Vector3DInt32 Movable::getPosition() const { return m_position; }

} // namespace Entities
