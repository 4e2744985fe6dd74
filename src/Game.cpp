#include "Game.h"

#include <algorithm>

#include "TickSchedule.h"

Game Game::instance_;

Game::Game() = default;

Game& Game::instance() { return instance_; }

GamePage* Game::page() const { return m_currentPage; }

void Game::page(GamePage& next) { m_nextPage = &next; }

void Game::page(GamePage* next) { m_nextPage = next; }

void Game::setFrameRateLimit(int framesPerSecond) {
  m_frameInterval = framesPerSecond > 0 ? Clock::duration(std::chrono::seconds(1)) / framesPerSecond
                                        : Clock::duration::zero();
}

asio::io_service& Game::ioService() { return m_ioService; }

// One turn: the completions that are ready, the tick if it is due, then a
// frame if the limit allows one, else a wait for whichever comes first.
// A frame follows every tick that leaves time for it, so ticks that run
// long cannot starve the frames, and a slow frame delays a tick by no more
// than itself.
void Game::run() {
  // A service that was stopped before runs again only after a restart.
  m_ioService.restart();
  m_stopping = false;
  // Keeps the waits waiting while no connection has work outstanding.
  const auto work = asio::make_work_guard(m_ioService);
  TickSchedule ticks(Clock::now());
  Clock::time_point nextFrame = Clock::now();
  while (!m_stopping) {
    m_ioService.poll();
    takeNextPage();
    if (m_stopping)
      break;
    if (!m_currentPage) {
      waitUntil(Clock::now() + TickSchedule::Period);
      continue;
    }
    if (ticks.isDue(Clock::now())) {
      m_tickDue = ticks.start(Clock::now());
      m_currentPage->tick();
      if (m_stopping)
        break;
    }
    const Clock::time_point now = Clock::now();
    if (now >= nextFrame) {
      nextFrame = now + m_frameInterval;
      m_currentPage->frame(ticks.progress(now));
    } else {
      waitUntil(std::min(ticks.next(), nextFrame));
    }
  }
}

void Game::stop() {
  m_stopping = true;
  m_ioService.stop();
}

void Game::takeNextPage() {
  if (m_nextPage) {
    m_currentPage = m_nextPage;
    m_nextPage = nullptr;
  }
}

void Game::waitUntil(Clock::time_point deadline) { m_ioService.run_one_until(deadline); }
