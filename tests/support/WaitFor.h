#ifndef WAIT_FOR_H
#define WAIT_FOR_H

#include <chrono>
#include <functional>
#include <thread>

// Polls the condition until it holds or the limit has passed.
inline bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

#endif
