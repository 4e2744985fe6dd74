#include "Entities/Mobs/Skeleton.h"

namespace Entities::Mobs {

std::string Skeleton::getName() { return "Skeleton"; }

std::string Skeleton::getMeshName() const { return "ninja.mesh"; }

double Skeleton::getMeshScale() const { return entityMeshScale; }

} // namespace Entities::Mobs
