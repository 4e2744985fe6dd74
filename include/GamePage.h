#ifndef GAME_PAGE_H
#define GAME_PAGE_H

// What the main loop drives: one update per 50 ms tick. The owner deletes a
// page through this interface.
class GamePage {
public:
  GamePage() = default;
  virtual void update() = 0;
  virtual ~GamePage();
};

#endif
