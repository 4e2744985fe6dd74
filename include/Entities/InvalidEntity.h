#ifndef ENTITIES_INVALID_ENTITY_H
#define ENTITIES_INVALID_ENTITY_H

#include <stdexcept>

namespace Entities {

// Raised when a packet names an entity that is not tracked.
class InvalidEntity : public std::runtime_error {
public:
  InvalidEntity();
};

} // namespace Entities

#endif
