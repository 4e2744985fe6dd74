#ifndef STALL_WATCH_H
#define STALL_WATCH_H

// A clock for a packet that has begun to arrive: if it is not complete
// within the limit, the connection has stalled.

#include <chrono>
#include <functional>
#include <memory>

#include <asio.hpp>

class StallWatch {
public:
  explicit StallWatch(asio::io_service& ioService) : m_timer(ioService) {}

  void setLimit(std::chrono::milliseconds limit) { m_limit = limit; }
  std::chrono::milliseconds limit() const { return m_limit; }

  // Starts the clock unless it is running; onStall runs on the loop's thread
  // once the limit has passed without a stop().
  void start(std::function<void()> onStall);
  void stop();

private:
  asio::steady_timer m_timer;
  std::chrono::milliseconds m_limit{30000};
  // Counts the starts, so that an expiry that was already on its way when
  // the clock stopped is recognised.
  unsigned m_round = 0;
  bool m_running = false;
  // Handlers still queued when the watch is gone must not touch it.
  std::shared_ptr<char> m_life = std::make_shared<char>();
};

#endif
