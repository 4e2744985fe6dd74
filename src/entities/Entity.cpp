#include "Entities/Entity.h"

namespace Entities {

std::string Entity::getName() { return "testname"; }

} // namespace Entities
