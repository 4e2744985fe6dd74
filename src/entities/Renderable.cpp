#include "Entities/Renderable.h"

#include <OgreSceneNode.h>

namespace Entities {

void Renderable::update() {
  if (!m_sceneNode) {
    return;
  }
  const Vox::Vector3DInt32 p = getPosition();
  const float blocksPerUnit = 0.03125f;
  m_sceneNode->setPosition(static_cast<float>(p.x) * blocksPerUnit,
                           static_cast<float>(p.y) * blocksPerUnit,
                           static_cast<float>(p.z) * blocksPerUnit);
}

double Renderable::getMeshScale() const { return 1.0; }

} // namespace Entities
