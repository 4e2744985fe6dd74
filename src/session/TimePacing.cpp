#include "session/TimePacing.h"

#include <iostream>

namespace {

const std::chrono::seconds LineInterval(1);

std::int64_t difference(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

void advance(std::int64_t& ticks) {
  ticks = static_cast<std::int64_t>(static_cast<std::uint64_t>(ticks) + 1);
}

} // namespace

PacingStep paceTime(std::int64_t& localTick, std::int64_t& serverTime) {
  const std::int64_t gap = difference(localTick, serverTime);
  PacingStep step = PacingStep::Kept;
  if (gap < -200 || gap > 200) {
    localTick = serverTime;
    step = PacingStep::CaughtUp;
  } else if (gap >= 2) {
    advance(serverTime);
    step = PacingStep::SlowedDown;
  } else if (gap <= -2) {
    advance(localTick);
    step = PacingStep::SpedUp;
  }
  advance(localTick);
  advance(serverTime);
  return step;
}

void followServerTime(std::int64_t& serverTime, std::int64_t receivedTime) {
  const std::int64_t gap = difference(receivedTime, serverTime);
  if (gap < -1 || gap > 1)
    serverTime = receivedTime;
}

void PacingLines::note(PacingStep step, Clock::time_point now) {
  for (Line& line : m_lines) {
    if (line.step == step)
      ++line.pending;
    if (line.pending == 0 || (line.printed && now - line.last < LineInterval))
      continue;
    std::cout << line.text;
    if (line.pending > 1)
      std::cout << " (" << line.pending << " ticks)";
    std::cout << std::endl;
    line.pending = 0;
    line.printed = true;
    line.last = now;
  }
}
