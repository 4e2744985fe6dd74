#include "TimedSession.h"

TimedSession::TimedSession(asio::io_service& io) : m_io(io), m_connection(io, *this) {}

void TimedSession::run(const std::string& port, std::chrono::milliseconds stallTimeout) {
  m_connection.setStallTimeout(stallTimeout);
  m_connection.connect("127.0.0.1", port);
  m_io.run();
}

// The time counts whether the attempt ends with the packet or without it.
void TimedSession::receive(ByteReader& reader, const std::function<void()>& whole) {
  ++m_attempts;
  struct Tally {
    TimedSession& session;
    ByteReader& reader;
    ThreadClock::time_point start = ThreadClock::now();
    bool whole = false;
    ~Tally() {
      const ThreadClock::duration took = ThreadClock::now() - start;
      session.m_parseTime += took;
      session.m_examined += reader.consumed();
      if (whole)
        session.m_wholeAttemptTime = took;
    }
  } tally{*this, reader};
  m_dispatch.receive(reader, [&] {
    tally.whole = true;
    whole();
  });
}

void TimedSession::ended(const SessionEnd& end) {
  m_end = end;
  m_io.stop();
}
