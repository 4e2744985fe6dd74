#ifndef GAME_PAGES_EYE_TRACK_H
#define GAME_PAGES_EYE_TRACK_H

// The player's eye as the ticks move it, in blocks: where it was after the
// last tick and after the one before. Frames, which come more often than
// ticks, draw it between the two, so that motion does not step at the
// tick's rate.

#include "vox/Vector.h"

namespace GamePages {

class EyeTrack {
public:
  // A place the eye jumps to (the server's spawn point or correction): no
  // motion is drawn from the old place to the new.
  void placeAt(Vox::Vector3DFloat eye) { m_previous = m_current = eye; }
  // One tick's motion; a tick without motion still ends the last one's.
  void advance(Vox::Vector3DFloat motion);

  Vox::Vector3DFloat current() const { return m_current; }
  // The eye a frame draws, `progress` (0 to 1) of the way from the tick
  // before the last to the last.
  Vox::Vector3DFloat drawnAt(float progress) const;

private:
  Vox::Vector3DFloat m_previous;
  Vox::Vector3DFloat m_current;
};

} // namespace GamePages

#endif
