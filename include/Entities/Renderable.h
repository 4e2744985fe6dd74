#ifndef ENTITIES_RENDERABLE_H
#define ENTITIES_RENDERABLE_H

#include <string>

#include "Entities/Entity.h"
#include "vox/Vector.h"

namespace Ogre {
class SceneNode;
}

namespace Entities {

// An entity shown by a mesh on a scene node. The page creates and erases the
// node and stores it here; the entity only moves it.
class Renderable : public Entity {
public:
  // Places the node, when there is one, at getPosition() / 32.
  void update() override;
  virtual std::string getMeshName() const = 0;
  virtual double getMeshScale() const;
  // Position in 1/32 of a block.
  virtual Vox::Vector3DInt32 getPosition() const = 0;

  Ogre::SceneNode* m_sceneNode = nullptr;
};

} // namespace Entities

#endif
