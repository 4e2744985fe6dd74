#include "GamePages/TimePacing.h"

#include <iostream>

namespace GamePages {

bool paceTime(std::int64_t& localTick, std::int64_t& serverTime) {
  const std::int64_t gap = localTick - serverTime;
  bool render = true;
  if (gap < -200 || gap > 200) {
    localTick = serverTime;
    std::cout << "can't catch up to server time, probably connecting or huge lag" << std::endl;
  } else if (gap >= 2) {
    ++serverTime;
    std::cout << "too fast, slowing down" << std::endl;
  } else if (gap <= -2) {
    std::cout << "you are too slow, render less" << std::endl;
    render = false;
    ++localTick;
  }
  ++localTick;
  ++serverTime;
  return render;
}

} // namespace GamePages
