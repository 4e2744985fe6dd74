#ifndef OUTBOX_H
#define OUTBOX_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

namespace Server {

// The packets waiting for one client's writer thread. Anyone may add; the
// writer alone takes. Adding never blocks: a client that stops reading fills
// the outbox up to its limit, after which further packets are refused and
// the outbox counts as overflowed.
class Outbox {
public:
  explicit Outbox(std::size_t limitBytes);

  // False when the outbox is closed or full.
  bool push(const std::string& packet);
  // Something the writer does once everything pushed before has been
  // written, before anything pushed after: a change of what the writer
  // sends besides the outbox that must not overtake the packets before it.
  // False when the outbox is closed or full.
  bool pushMark(std::function<void()> then);
  // No more packets are taken in; those already queued still go out.
  void close();
  // Makes a waiting take() return, so the writer can look for other work.
  void wake();

  enum class State { Packets, Idle, Closed };
  struct Taken {
    State state;
    std::string bytes;
    // To do after writing the bytes: a mark's work.
    std::function<void()> then;
  };
  // Everything queued up to the first mark, as one run of bytes, with the
  // mark's work. With nothing queued: Closed once closed; otherwise Idle at
  // once when `wait` is false, else after waiting for packets, close() or
  // wake().
  Taken take(bool wait);

  bool overflowed() const;

private:
  const std::size_t m_limit;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_queued;
  // The marks by the length of the queued bytes before them.
  std::deque<std::pair<std::size_t, std::function<void()>>> m_marks;
  bool m_closed = false;
  bool m_woken = false;
  bool m_overflowed = false;
};

} // namespace Server

#endif
