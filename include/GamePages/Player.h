#ifndef GAME_PAGES_PLAYER_H
#define GAME_PAGES_PLAYER_H

// The player as the ticks move them, in blocks: walking along the look, a
// jump that lifts the eye two blocks at once and holds it there for the
// jump's ticks, and otherwise the feet following the ground of the world's
// volume, a block a tick at most. The eye's track lets frames draw the
// player between two ticks.

#include <cstdint>

#include "GamePages/EyeTrack.h"
#include "GamePages/PlayerMotion.h"

class WorldModel;

namespace GamePages {

class Player {
public:
  // Where the server puts the player: no motion is drawn from the old place.
  void placeFeetAt(double x, double feetY, double z);
  // One tick of movement from the keys held. `yaw` is the camera's, in
  // radians, 0 looking along -z.
  void move(const MovementInput& input, double yaw, WorldModel& world);
  // A tick in which the player does not move.
  void standStill() { m_eye.advance({}); }

  const EyeTrack& eye() const { return m_eye; }
  // Where the last tick left the feet.
  double feetY() const { return double(m_eye.current().y) - EyeHeight; }

private:
  float verticalMotion(const MovementInput& input, WorldModel& world);

  EyeTrack m_eye;
  // Ticks left of the jump under way.
  std::uint16_t m_jumpTimer = 0;
};

} // namespace GamePages

#endif
