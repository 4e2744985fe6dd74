#ifndef GAME_H
#define GAME_H

// The program's one I/O service and its 20 Hz tick on an absolute schedule.

#include <asio.hpp>

#include "GamePage.h"

class Game {
public:
  static Game& instance();

  GamePage* page() const;
  // The page becomes current at the end of the next tick.
  void page(GamePage& next);
  void page(GamePage* next);

  // Ticks the current page every 50 ms until stop(); throws asio::system_error
  // if the I/O service reports an error.
  void run();
  void stop();

  // Inside a page update: when the tick being handled fell due.
  boost::posix_time::ptime tickDue() const;

  asio::io_service& ioService();

private:
  Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  void update(const asio::error_code& error);

  static Game instance_;

  asio::io_service m_ioService;
  asio::deadline_timer m_tickTimer;
  GamePage* m_currentPage = nullptr;
  GamePage* m_nextPage = nullptr;
};

#endif
