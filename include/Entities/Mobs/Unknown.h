#ifndef ENTITIES_MOBS_UNKNOWN_H
#define ENTITIES_MOBS_UNKNOWN_H

#include <string>

#include "Entities/Mob.h"

namespace Entities::Mobs {

// Every mob type without a class of its own.
class Unknown : public Mob {
public:
  explicit Unknown(signed char mobType = 0) : m_mobType(mobType) {}

  std::string getName() override;
  std::string getMeshName() const override;
  double getMeshScale() const override;

  // The spawn packet's mob type byte.
  signed char m_mobType;
};

} // namespace Entities::Mobs

#endif
