#include "server/Outbox.h"

namespace Server {

Outbox::Outbox(std::size_t limitBytes) : m_limit(limitBytes) {}

bool Outbox::push(const std::string& packet) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed || m_overflowed)
      return false;
    if (m_queued.size() + packet.size() > m_limit) {
      m_overflowed = true;
      return false;
    }
    m_queued += packet;
  }
  m_changed.notify_one();
  return true;
}

bool Outbox::pushMark(std::function<void()> then) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed || m_overflowed)
      return false;
    m_marks.emplace_back(m_queued.size(), std::move(then));
  }
  m_changed.notify_one();
  return true;
}

void Outbox::close() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
  }
  m_changed.notify_one();
}

void Outbox::wake() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_woken = true;
  }
  m_changed.notify_one();
}

Outbox::Taken Outbox::take(bool wait) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (wait)
    m_changed.wait(lock, [this] {
      return !m_queued.empty() || !m_marks.empty() || m_closed || m_woken;
    });
  m_woken = false;
  if (!m_marks.empty()) {
    const std::size_t before = m_marks.front().first;
    Taken taken{State::Packets, m_queued.substr(0, before), std::move(m_marks.front().second)};
    m_queued.erase(0, before);
    m_marks.pop_front();
    for (auto& mark : m_marks)
      mark.first -= before;
    return taken;
  }
  if (!m_queued.empty()) {
    Taken taken{State::Packets, std::move(m_queued), {}};
    m_queued.clear();
    return taken;
  }
  return {m_closed ? State::Closed : State::Idle, {}, {}};
}

bool Outbox::overflowed() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_overflowed;
}

} // namespace Server
