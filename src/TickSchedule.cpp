#include "TickSchedule.h"

#include <algorithm>

TickSchedule::Clock::time_point TickSchedule::start(Clock::time_point now) {
  if (now >= m_next + Period) {
    const auto missed = (now - m_next) / Period;
    m_next += missed * Period;
    m_dropped += std::uint64_t(missed);
  }
  m_last = m_next;
  m_started = true;
  m_next += Period;
  return m_last;
}

float TickSchedule::progress(Clock::time_point now) const {
  if (!m_started)
    return 1;
  const double share = std::chrono::duration<double>(now - m_last) / Period;
  return float(std::clamp(share, 0.0, 1.0));
}
