#ifndef CLIENT_RUN_H
#define CLIENT_RUN_H

// The client binary as these tests run it: its configuration, the start up
// to the connect key, the quit key, and the ticks it reports.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "ClientProcess.h"

// "tessellar.cfg" for a server on 127.0.0.1 at the port, with one
// "Timings" line per tick.
std::string sessionConfig(unsigned short port, int stallTimeoutSeconds = 30);

// Starts the client and presses "8" once its window shows; false when the
// window does not show.
bool startAndConnect(ClientProcess& client);

// Presses "0" and waits for the client to end; the exit code, or -1 when it
// does not end within the limit. `took` is set to the time from the key to
// the end.
int quitWithKey(ClientProcess& client, std::chrono::milliseconds& took);

// The client's "Timings" lines as they appear in its output: each tick ends
// when its line appears and started its own duration earlier. The main
// thread blocking outside the ticks shows as a pause between them.
class TickWatch {
public:
  using Clock = std::chrono::steady_clock;

  explicit TickWatch(const ClientProcess& client);

  // Takes the lines the client has written since the last call.
  void update();
  std::size_t count() const { return m_ticks.size(); }
  // The longest time from the end of a tick to the start of the next, for
  // the ticks that ended after `from`.
  std::chrono::milliseconds longestPauseSince(Clock::time_point from) const;

private:
  struct Tick {
    Clock::time_point start;
    Clock::time_point end;
  };

  std::string m_path;
  std::size_t m_read = 0;
  std::string m_partial;
  std::vector<Tick> m_ticks;
};

#endif
