#include "Entities/Stride.h"

#include <algorithm>
#include <cmath>

namespace Entities {

namespace {

// The distance an update moves a walking player: 4.3 blocks a second at 20
// updates a second.
const double WalkingPace = 0.2;
// How much of a new update's move the averaged pace takes.
const double PaceWeight = 0.35;
// Below this share of a walking pace, the legs are upright.
const double StillPace = 0.01;
const double TwoPi = 6.283185307179586;

} // namespace

void Stride::walk(double blocks) {
  if (!(blocks >= 0) || blocks > TeleportBlocks)
    blocks = 0;
  m_pace += (blocks - m_pace) * PaceWeight;
  if (m_pace < StillPace * WalkingPace) {
    m_pace = 0;
    m_phase = 0;
    return;
  }
  m_phase = std::fmod(m_phase + blocks / StrideBlocks, 1.0);
}

float Stride::swingDegrees() const {
  const double width = std::min(1.0, m_pace / WalkingPace) * MaxSwingDegrees;
  return static_cast<float>(width * std::sin(m_phase * TwoPi));
}

} // namespace Entities
