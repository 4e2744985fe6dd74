#include "GamePages/ChatLog.h"

#include <utility>

namespace GamePages {

void ChatLog::add(std::string utf8, Clock::time_point now) {
  m_lines.push_back({std::move(utf8), now});
  if (m_lines.size() > Lines)
    m_lines.pop_front();
}

std::vector<ChatLog::Shown> ChatLog::shown(Clock::time_point now, bool everything) const {
  std::vector<Shown> lines;
  for (const Line& line : m_lines) {
    const auto age = now - line.arrived;
    if (everything || age <= ShowTime) {
      lines.push_back({line.utf8, 1.0f});
    } else if (age < ShowTime + FadeTime) {
      const std::chrono::duration<float> left = ShowTime + FadeTime - age;
      lines.push_back({line.utf8, left / std::chrono::duration<float>(FadeTime)});
    }
  }
  return lines;
}

} // namespace GamePages
