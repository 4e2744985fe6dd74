#include "player/Digging.h"

#include <algorithm>

#include "world/BlockKinds.h"

std::vector<Digging::Event> Digging::tick(bool held, const std::optional<AimedBlock>& aimed,
                                          std::uint8_t blockType, bool creative) {
  std::vector<Event> events;
  if (!held || !aimed) {
    stop();
    return events;
  }
  // Another face of the same block goes on with its dig.
  if (m_target && m_target->block != aimed->block)
    stop();
  if (!m_target) {
    const BlockInfo& info = blockInfo(blockType);
    m_target = aimed;
    m_ticks = 0;
    m_needed = info.digTicks;
    m_unbreakable = info.unbreakable && !creative;
    m_finished = false;
    events.push_back({Event::Kind::Started, *aimed});
    if (creative)
      m_needed = 0;
  } else if (!m_finished) {
    ++m_ticks;
  }
  if (!m_finished && !m_unbreakable && m_ticks >= m_needed) {
    m_finished = true;
    events.push_back({Event::Kind::Finished, *m_target});
  }
  return events;
}

std::optional<float> Digging::progress() const {
  if (!m_target)
    return std::nullopt;
  if (m_unbreakable)
    return 0.0f;
  if (m_needed == 0 || m_finished)
    return 1.0f;
  return std::min(1.0f, float(m_ticks) / float(m_needed));
}
