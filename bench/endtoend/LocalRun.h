#ifndef BENCH_ENDTOEND_LOCAL_RUN_H
#define BENCH_ENDTOEND_LOCAL_RUN_H

// What the benches that run the real client against the local world server
// share: a free port, the server started until it listens, the client's
// output read line by line as it is written, and a stop asked for by a
// signal, which ends the run at its next wait.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ClientProcess.h"
#include "TimedLines.h"

// Ctrl-C, a hangup or a termination asks the run under way to stop: every
// wait gives up and the run unwinds, stopping what it started.
void installStopHandlers();

// A port that was free a moment ago, for the server to listen on.
unsigned short freePort();

// The local world server on the port, serving one player with the world of
// seed 0, once it listens. Throws when it does not start.
std::unique_ptr<ChildProcess> startLocalServer(unsigned short port, int viewRadius);

// The client's standard output goes to "stdout.log" in its directory; a
// named pipe there hands each line over as it is written. Holding both ends
// keeps the client from blocking on the open.
class ClientLines {
public:
  // Makes the pipe and starts the client, which must outlive this.
  explicit ClientLines(ClientProcess& client);
  ~ClientLines();
  ClientLines(const ClientLines&) = delete;
  ClientLines& operator=(const ClientLines&) = delete;

  const std::vector<TimedLine>& lines() const { return m_lines->lines(); }
  // The last lines, for error messages.
  std::string tail(std::size_t count) const { return m_lines->tail(count); }
  // Reads the client's output as it comes, handing it to `consume`, until
  // `done` holds; false when the deadline passes first. Throws when the
  // client has ended or a stop was asked for.
  bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline,
                 const std::function<void()>& consume);

private:
  void checkClientAlive() const;

  ClientProcess& m_client;
  int m_descriptor = -1;
  std::unique_ptr<TimedLines> m_lines;
};

#endif
