#ifndef ENTITIES_MOVABLE_H
#define ENTITIES_MOVABLE_H

#include <string>

#include "Entities/Renderable.h"
#include "vox/Vector.h"

namespace Entities {

// Every entity mesh is shown at this uniform scale.
constexpr double entityMeshScale = 0.01;

// An entity with the server's position and motion. The page writes the
// members directly from the spawn and movement packets.
class Movable : public Renderable {
public:
  // Adds the velocity to the remainder, moves by its whole position units,
  // then places the node and turns it (and the mesh's head, if it has one)
  // to the look.
  void update() override;
  std::string getMeshName() const override;
  double getMeshScale() const override;
  Vox::Vector3DInt32 getPosition() const override;

  // Absolute, in 1/32 of a block.
  Vox::Vector3DInt32 m_position;
  // In 1/1000 of a position unit per update.
  Vox::Vector3DInt32 m_velocity;
  // Motion not yet turned into whole position units, within -999..999.
  Vox::Vector3DInt32 m_remainder;
  // The server's rotation bytes, stored as received: 256 steps to the turn,
  // yaw 0 facing +z and 64 facing -x, pitch positive looking down.
  signed char m_yaw = 0;
  signed char m_pitch = 0;
};

} // namespace Entities

#endif
