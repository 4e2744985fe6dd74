#include "TimedLines.h"

#include <poll.h>
#include <unistd.h>

void TimedLines::readAvailable() {
  char buffer[4096];
  ssize_t count;
  while ((count = read(m_descriptor, buffer, sizeof buffer)) > 0) {
    const Clock::time_point now = Clock::now();
    m_partial.append(buffer, std::size_t(count));
    std::size_t end;
    while ((end = m_partial.find('\n')) != std::string::npos) {
      m_lines.push_back({now, m_partial.substr(0, end)});
      m_partial.erase(0, end + 1);
    }
  }
  if (count == 0)
    m_closed = true;
}

std::string TimedLines::tail(std::size_t count) const {
  std::string text;
  for (std::size_t i = m_lines.size() > count ? m_lines.size() - count : 0; i < m_lines.size(); ++i)
    text += m_lines[i].text + "\n";
  return text;
}

void readAny(const std::vector<TimedLines*>& sources, std::chrono::milliseconds limit) {
  std::vector<pollfd> descriptors;
  for (const TimedLines* source : sources)
    descriptors.push_back({source->closed() ? -1 : source->descriptor(), POLLIN, 0});
  if (poll(descriptors.data(), descriptors.size(), int(limit.count())) > 0)
    for (TimedLines* source : sources)
      source->readAvailable();
}
