#ifndef ENTITIES_NAMED_H
#define ENTITIES_NAMED_H

#include <array>
#include <string>
#include <utility>

#include "Entities/Movable.h"

namespace Entities {

// Another player.
class Named : public Movable {
public:
  explicit Named(std::string name = {}) : m_name(std::move(name)) {}

  // The player name from the spawn packet.
  std::string m_name;
  // Entry 0 is the item in hand; the client never sets the others.
  std::array<short, 5> m_equipmentItems{};
  std::array<short, 5> m_equipmentDamages{};
};

} // namespace Entities

#endif
