#include "Entities/Mobs/Unknown.h"

namespace Entities::Mobs {

std::string Unknown::getName() { return "Unknown"; }

std::string Unknown::getMeshName() const { return "sphere.mesh"; }

double Unknown::getMeshScale() const { return entityMeshScale; }

} // namespace Entities::Mobs
