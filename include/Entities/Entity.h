#ifndef ENTITIES_ENTITY_H
#define ENTITIES_ENTITY_H

#include <string>

namespace Entities {

// Root of the things the server reports besides blocks. Entities are owned
// and destroyed through pointers to this class.
class Entity {
public:
  virtual ~Entity() = default;

  virtual std::string getName();
  // Advances the entity by one page update.
  virtual void update() = 0;
};

} // namespace Entities

#endif
