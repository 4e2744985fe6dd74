#include "GamePages/TimePacing.h"

#include <iostream>

namespace GamePages {

namespace {

std::int64_t difference(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

void advance(std::int64_t& ticks) {
  ticks = static_cast<std::int64_t>(static_cast<std::uint64_t>(ticks) + 1);
}

} // namespace

bool paceTime(std::int64_t& localTick, std::int64_t& serverTime) {
  const std::int64_t gap = difference(localTick, serverTime);
  bool render = true;
  if (gap < -200 || gap > 200) {
    localTick = serverTime;
    std::cout << "can't catch up to server time, probably connecting or huge lag" << std::endl;
  } else if (gap >= 2) {
    advance(serverTime);
    std::cout << "too fast, slowing down" << std::endl;
  } else if (gap <= -2) {
    std::cout << "you are too slow, render less" << std::endl;
    render = false;
    advance(localTick);
  }
  advance(localTick);
  advance(serverTime);
  return render;
}

void followServerTime(std::int64_t& serverTime, std::int64_t receivedTime) {
  const std::int64_t gap = difference(receivedTime, serverTime);
  if (gap < -1 || gap > 1)
    serverTime = receivedTime;
}

} // namespace GamePages
