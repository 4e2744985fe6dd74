#ifndef CLIENT_PROCESS_H
#define CLIENT_PROCESS_H

// The client binary run in a working directory of its own, laid out like the
// build's run directory, with its output in "stdout.log" and "stderr.log"
// there.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "RunDirectory.h"

class ClientProcess {
public:
  // Lays out the directory with a "tessellar.cfg" naming the given port.
  explicit ClientProcess(unsigned short port);
  // Lays out the directory with `config` as its "tessellar.cfg".
  explicit ClientProcess(const std::string& config);

  void start();
  // The exit code (128 plus the signal's number when a signal ended it), or
  // nothing if it has not ended within the limit.
  std::optional<int> waitForExit(std::chrono::milliseconds limit);
  std::string output() const;
  std::string errors() const;
  std::string directory() const { return m_directory.path().string(); }
  // The running client's process id, or -1 before start and after the exit.
  pid_t pid() const { return m_process ? m_process->pid() : -1; }
  std::vector<std::string> filesStartingWith(const std::string& prefix) const;

private:
  RunDirectory m_directory{"plugins.cfg", "ogre.cfg", "resources.cfg", "media", "ferrowick"};
  // Declared after the directory: the client is killed before its directory
  // goes.
  std::optional<ChildProcess> m_process;
};

// Runs an xdotool command line against the test's display; true on success.
bool xdotool(const std::string& arguments);

#endif
