#ifndef GAME_H
#define GAME_H

// The program's one I/O service and its main loop: ticks of the game's
// logic 20 times a second on a fixed schedule, frames drawn as often as the
// machine allows (up to a limit) in between, and the network's completions
// run whenever the loop would otherwise wait.

#include <chrono>

#include <asio.hpp>

#include "GamePage.h"

class Game {
public:
  using Clock = std::chrono::steady_clock;

  static Game& instance();

  GamePage* page() const;
  // The page becomes current at the start of the loop's next turn.
  void page(GamePage& next);
  void page(GamePage* next);

  // Runs ticks and frames of the current page until stop(). Lets through
  // whatever a tick, a frame or a completion handler throws (the I/O
  // service's own errors as asio::system_error).
  void run();
  // Ends run() once the tick, frame or completion handler that calls it has
  // returned; nothing else runs after it.
  void stop();

  // At most this many frames a second; 0 draws them back to back.
  void setFrameRateLimit(int framesPerSecond);

  // Inside a tick: when it fell due.
  Clock::time_point tickDue() const { return m_tickDue; }

  asio::io_service& ioService();

private:
  Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  void takeNextPage();
  // Runs completion handlers until the deadline or until one has run;
  // sleeps meanwhile.
  void waitUntil(Clock::time_point deadline);

  static Game instance_;

  asio::io_service m_ioService;
  GamePage* m_currentPage = nullptr;
  GamePage* m_nextPage = nullptr;
  bool m_stopping = false;
  Clock::duration m_frameInterval{};
  Clock::time_point m_tickDue;
};

#endif
