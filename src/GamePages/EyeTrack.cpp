#include "GamePages/EyeTrack.h"

namespace GamePages {

void EyeTrack::advance(Vox::Vector3DFloat motion) {
  m_previous = m_current;
  m_current = m_current + motion;
}

Vox::Vector3DFloat EyeTrack::drawnAt(float progress) const {
  return m_previous + (m_current - m_previous) * progress;
}

} // namespace GamePages
