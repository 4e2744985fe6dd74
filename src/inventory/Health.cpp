#include "inventory/Health.h"

#include <algorithm>

void Health::update(int health, int food, Clock::time_point now) {
  if (m_known && health < m_health)
    m_hurtAt = now;
  m_known = true;
  m_health = health;
  m_food = food;
}

void Health::reset() { *this = Health(); }

// Points beyond the bar's ends draw as a full or an empty bar.
Health::Fill Health::fill(int points, int index) {
  const int left = std::clamp(points, 0, Full) - 2 * index;
  if (left >= 2)
    return Fill::Full;
  return left == 1 ? Fill::Half : Fill::Empty;
}

float Health::flash(Clock::time_point now) const {
  if (!m_hurtAt || now < *m_hurtAt)
    return 0;
  const auto elapsed = now - *m_hurtAt;
  if (elapsed >= FlashTime)
    return 0;
  return 1.0f - std::chrono::duration<float>(elapsed) / std::chrono::duration<float>(FlashTime);
}
