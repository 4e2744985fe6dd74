#ifndef ENTITIES_MOB_H
#define ENTITIES_MOB_H

#include <string>

#include "Entities/Movable.h"

namespace Entities {

// A mob spawned by the server; only the concrete mob classes can be built.
class Mob : public Movable {
public:
  std::string getMeshName() const override = 0;
  double getMeshScale() const override = 0;
};

} // namespace Entities

#endif
