#include "Entities/InvalidEntity.h"

namespace Entities {

InvalidEntity::InvalidEntity()
    : std::runtime_error("Tried to access an entity which doesn't exist (yet|anymore)") {}

} // namespace Entities
