#ifndef CHILD_PROCESS_H
#define CHILD_PROCESS_H

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A program run in the background with its standard output and error
// collected in files.
class ChildProcess {
public:
  // Extra environment entries override the inherited ones; an empty value
  // removes the variable. Without a working directory the program runs in
  // the caller's and its output goes to scratch files removed with the
  // object; with one, it runs there and writes "stdout.log" and "stderr.log"
  // there, which stay.
  ChildProcess(const std::vector<std::string>& command,
               const std::map<std::string, std::string>& environment = {},
               const std::filesystem::path& workingDirectory = {});
  ~ChildProcess();

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The raw wait status once the process has ended, without blocking.
  std::optional<int> poll();
  // The raw wait status, or nothing if the process has not ended within the
  // limit (it then goes on running).
  std::optional<int> waitUpTo(std::chrono::milliseconds limit);
  // Waits up to the limit; kills the process if it is still running then.
  int wait(std::chrono::milliseconds limit);
  // The process id while it runs, -1 once it has ended and been reaped.
  pid_t pid() const { return m_status ? -1 : m_pid; }

  std::string standardOutput() const;
  std::string standardError() const;

private:
  pid_t m_pid = -1;
  std::optional<int> m_status;
  bool m_scratchOutput;
  std::filesystem::path m_output;
  std::filesystem::path m_error;
};

// Exit code of a normally ended process, -1 when a signal ended it.
int exitCode(int waitStatus);

#endif
