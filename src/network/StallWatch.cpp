#include "StallWatch.h"

void StallWatch::start(std::function<void()> onStall) {
  if (m_running) {
    return;
  }
  m_running = true;
  m_timer.expires_after(m_limit);
  m_timer.async_wait([this, life = std::weak_ptr<char>(m_life), round = ++m_round,
                      onStall = std::move(onStall)](const asio::error_code& error) {
    if (error || life.expired() || round != m_round || !m_running) {
      return;
    }
    m_running = false;
    onStall();
  });
}

void StallWatch::stop() {
  if (m_running) {
    m_running = false;
    m_timer.cancel();
  }
}
