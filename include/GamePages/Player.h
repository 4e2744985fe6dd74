#ifndef GAME_PAGES_PLAYER_H
#define GAME_PAGES_PLAYER_H

// The player as the ticks move them: the body of the protocol's players
// (walking, running, jumping, falling, swimming, colliding with blocks),
// kept within the world. The eye's track lets frames draw the player
// between two ticks.

#include "GamePages/EyeTrack.h"
#include "ProtocolConstants.h"
#include "player/Movement.h"

class BlockSource;

namespace GamePages {

// The eye (the camera) is this far above the feet.
using TSProtocol::EyeHeight;

class Player {
public:
  // Where the server puts the player: the body stops there, and no motion
  // is drawn from the old place.
  void placeFeetAt(double x, double feetY, double z);
  // One tick of the body's movement among the blocks.
  void move(const PlayerBody::Controls& controls, const BlockSource& blocks);
  // A tick in which the player does not move.
  void standStill() { m_eye.advance({}); }

  const EyeTrack& eye() const { return m_eye; }
  // Where the last tick left the feet, and whether they stand.
  const Vox::Vector3DDouble& feet() const { return m_body.feet; }
  double feetY() const { return m_body.feet.y; }
  bool onGround() const { return m_body.onGround; }
  // The eye at full precision, where aiming starts.
  Vox::Vector3DDouble eyePosition() const;

private:
  void keepWithinWorld();

  PlayerBody::State m_body;
  EyeTrack m_eye;
};

} // namespace GamePages

#endif
