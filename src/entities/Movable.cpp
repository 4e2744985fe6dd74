#include "Entities/Movable.h"

#include <algorithm>
#include <cstdint>

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>

namespace Entities {

namespace {

// The server's rotation bytes count 256 steps to the turn.
float degreesOfRotation(signed char rotation) { return rotation * (360.0f / 256.0f); }

// The protocol's yaw turns from +z toward -x (90 faces -x), the opposite
// sense of a turn about the engine's y axis; the meshes face +z.
void turnBody(Ogre::SceneNode& node, signed char yaw) {
  node.setOrientation(
      Ogre::Quaternion(Ogre::Degree(-degreesOfRotation(yaw)), Ogre::Vector3::UNIT_Y));
}

// A positive pitch looks down, which a turn about the mesh's x axis does;
// a head turns no further than straight up or down.
void tiltHead(Ogre::SceneNode& node, signed char pitch) {
  if (node.numAttachedObjects() == 0)
    return;
  auto* mesh = dynamic_cast<Ogre::Entity*>(node.getAttachedObject(0));
  if (!mesh || !mesh->hasSkeleton() || !mesh->getSkeleton()->hasBone("head"))
    return;
  Ogre::Bone* head = mesh->getSkeleton()->getBone("head");
  head->setManuallyControlled(true);
  const float degrees = std::clamp(degreesOfRotation(pitch), -90.0f, 90.0f);
  head->setOrientation(head->getInitialOrientation() *
                       Ogre::Quaternion(Ogre::Degree(degrees), Ogre::Vector3::UNIT_X));
}

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
  if (m_sceneNode) {
    turnBody(*m_sceneNode, m_yaw);
    tiltHead(*m_sceneNode, m_pitch);
  }
}

std::string Movable::getMeshName() const { return "sphere.mesh"; }

double Movable::getMeshScale() const { return entityMeshScale; }

Vox::Vector3DInt32 Movable::getPosition() const { return m_position; }

} // namespace Entities
