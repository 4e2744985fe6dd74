#include "Entities/Named.h"

#include <cmath>
#include <cstdint>

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>

namespace Entities {

namespace {

// The arms swing against the legs, and not as far.
const float ArmShare = 0.75f;

// Blocks between two positions on the ground plane; positions wrap, so the
// difference is taken as the shorter way round.
double horizontalBlocks(const Vox::Vector3DInt32& from, const Vox::Vector3DInt32& to) {
  const auto difference = [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b) - static_cast<std::uint32_t>(a));
  };
  return std::hypot(difference(from.x, to.x) / 32.0, difference(from.z, to.z) / 32.0);
}

// A turn of the limb about the model's x axis from its binding pose; a
// negative angle swings it forward.
void swingBone(Ogre::SkeletonInstance& skeleton, const char* name, float degrees) {
  if (!skeleton.hasBone(name))
    return;
  Ogre::Bone* bone = skeleton.getBone(name);
  bone->setManuallyControlled(true);
  bone->setOrientation(bone->getInitialOrientation() *
                       Ogre::Quaternion(Ogre::Degree(degrees), Ogre::Vector3::UNIT_X));
}

void swingLimbs(Ogre::SceneNode& node, float swing) {
  if (node.numAttachedObjects() == 0)
    return;
  auto* mesh = dynamic_cast<Ogre::Entity*>(node.getAttachedObject(0));
  if (!mesh || !mesh->hasSkeleton())
    return;
  Ogre::SkeletonInstance& skeleton = *mesh->getSkeleton();
  swingBone(skeleton, "leftLeg", -swing);
  swingBone(skeleton, "rightLeg", swing);
  swingBone(skeleton, "leftArm", swing * ArmShare);
  swingBone(skeleton, "rightArm", -swing * ArmShare);
}

} // namespace

void Named::update() {
  Movable::update();
  m_stride.walk(m_lastPosition ? horizontalBlocks(*m_lastPosition, m_position) : 0);
  m_lastPosition = m_position;
  if (m_sceneNode)
    swingLimbs(*m_sceneNode, m_stride.swingDegrees());
}

std::string Named::getMeshName() const { return "player.mesh"; }

} // namespace Entities
