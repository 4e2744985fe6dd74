#ifndef GAME_PAGE_H
#define GAME_PAGE_H

// What the main loop drives: a tick every 50 ms of the game's time, and
// frames as often as the machine and the frame-rate limit allow. The owner
// deletes a page through this interface.
class GamePage {
public:
  GamePage() = default;
  // The game's logic for one tick of 50 ms.
  virtual void tick() = 0;
  // Draws one frame. `progress` (0 to 1) is how far the frame lies between
  // the last tick and the next, for drawing what moves between them.
  virtual void frame(float progress) = 0;
  virtual ~GamePage();
};

#endif
