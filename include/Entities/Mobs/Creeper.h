#ifndef ENTITIES_MOBS_CREEPER_H
#define ENTITIES_MOBS_CREEPER_H

#include <string>

#include "Entities/Mob.h"

namespace Entities::Mobs {

class Creeper : public Mob {
public:
  std::string getName() override;
  std::string getMeshName() const override;
  double getMeshScale() const override;
};

} // namespace Entities::Mobs

#endif
