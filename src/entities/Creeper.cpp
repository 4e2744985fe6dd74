#include "Entities/Mobs/Creeper.h"

namespace Entities::Mobs {

std::string Creeper::getName() { return "Creeper"; }

std::string Creeper::getMeshName() const { return "robot.mesh"; }

double Creeper::getMeshScale() const { return entityMeshScale; }

} // namespace Entities::Mobs
