#ifndef ENTITIES_NAMED_H
#define ENTITIES_NAMED_H

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "Entities/Movable.h"
#include "Entities/Stride.h"

namespace Entities {

// Another player, shown by the player model: it turns to its yaw, tilts its
// head to its pitch and swings its arms and legs as it walks.
class Named : public Movable {
public:
  // How high above the feet the name stands, in blocks: just over the
  // model's head.
  static constexpr float NameHeight = 1.95f;

  explicit Named(std::string name = {}) : m_name(std::move(name)) {}

  // Moves as a Movable does, then swings the limbs by the distance walked
  // since the last update.
  void update() override;
  std::string getMeshName() const override;

  // The player name from the spawn packet, in the locale's character set.
  std::string m_name;
  // Entry 0 is the item in hand, then the armour; 0 or -1 hold nothing.
  std::array<short, 5> m_equipmentItems{};
  std::array<short, 5> m_equipmentDamages{};

private:
  Stride m_stride;
  // Where the last update left the player; none before the first.
  std::optional<Vox::Vector3DInt32> m_lastPosition;
};

} // namespace Entities

#endif
