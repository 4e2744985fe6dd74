#include "server/FallTracker.h"

#include <algorithm>
#include <cmath>

namespace Server {

namespace {

// Heights the client computes in doubles: a fall of four blocks may come out
// a hair above four, which must not cost a second point.
constexpr double Rounding = 1e-6;

} // namespace

void FallTracker::placed(double y) {
  m_onGround = true;
  m_top = y;
}

std::optional<FallTracker::Landing> FallTracker::report(const Report& report) {
  const bool wasOnGround = m_onGround;
  m_onGround = report.onGround;
  if (wasOnGround || report.inWater) {
    m_top = report.y;
    return std::nullopt;
  }
  m_top = std::max(m_top, report.y);
  if (!report.onGround)
    return std::nullopt;
  const double fallen = m_top - report.y;
  m_top = report.y;
  const double damage = std::ceil(fallen - SafeHeight - Rounding);
  if (damage < 1)
    return std::nullopt;
  return Landing{fallen, static_cast<int>(damage)};
}

} // namespace Server
