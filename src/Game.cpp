#include "Game.h"

#include <functional>

namespace {
const boost::posix_time::milliseconds kTickPeriod(50);
}

Game Game::instance_;

Game::Game() : m_ioService(), m_tickTimer(m_ioService) {}

Game& Game::instance() { return instance_; }

GamePage* Game::page() const { return m_currentPage; }

void Game::page(GamePage& next) { m_nextPage = &next; }

void Game::page(GamePage* next) { m_nextPage = next; }

void Game::run() {
  // A service that was stopped before runs again only after a restart.
  m_ioService.restart();
  m_tickTimer.expires_from_now(kTickPeriod);
  m_tickTimer.async_wait(std::bind(&Game::update, this, std::placeholders::_1));
  asio::error_code error;
  m_ioService.run(error);
  if (error) {
    throw asio::system_error(error);
  }
}

void Game::stop() {
  m_ioService.stop();
  m_tickTimer.cancel();
}

boost::posix_time::ptime Game::tickDue() const { return m_tickTimer.expires_at(); }

asio::io_service& Game::ioService() { return m_ioService; }

void Game::update(const asio::error_code& error) {
  if (error) {
    return;
  }
  if (m_currentPage) {
    m_currentPage->update();
  }
  if (m_nextPage) {
    m_currentPage = m_nextPage;
    m_nextPage = nullptr;
  }
  m_tickTimer.expires_at(m_tickTimer.expires_at() + kTickPeriod);
  m_tickTimer.async_wait(std::bind(&Game::update, this, std::placeholders::_1));
}
