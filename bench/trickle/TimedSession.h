#ifndef TRICKLE_TIMED_SESSION_H
#define TRICKLE_TIMED_SESSION_H

// The client's connection with the packet dispatch above it, as the session
// has them, timing every attempt to parse the waiting packet on the loop's
// thread: what the thread that draws spends on parsing.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include <asio.hpp>

#include "Connection.h"
#include "SessionEnd.h"
#include "ThreadClock.h"
#include "session/PacketDispatch.h"

class TimedSession final : private Connection::Handler {
public:
  explicit TimedSession(asio::io_service& io);

  // Connects and runs the loop until the session ends.
  void run(const std::string& port, std::chrono::milliseconds stallTimeout);

  PacketDispatch& dispatch() { return m_dispatch; }
  // Processor time of the loop's thread.
  ThreadClock::duration parseTime() const { return m_parseTime; }
  std::size_t attempts() const { return m_attempts; }
  // Bytes read by all attempts together, the whole packets' included.
  std::size_t bytesExamined() const { return m_examined; }
  // The last attempt that took a packet whole: one parse of it on the loop's
  // thread, from bytes as they were received.
  ThreadClock::duration wholeAttemptTime() const { return m_wholeAttemptTime; }
  const SessionEnd& end() const { return m_end; }

private:
  void connected() override {}
  void receive(ByteReader& reader, const std::function<void()>& whole) override;
  void ended(const SessionEnd& end) override;

  asio::io_service& m_io;
  PacketDispatch m_dispatch;
  ThreadClock::duration m_parseTime{};
  ThreadClock::duration m_wholeAttemptTime{};
  std::size_t m_attempts = 0;
  std::size_t m_examined = 0;
  SessionEnd m_end;
  Connection m_connection;
};

#endif
