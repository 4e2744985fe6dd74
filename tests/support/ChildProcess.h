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
  // removes the variable.
  ChildProcess(const std::vector<std::string>& command,
               const std::map<std::string, std::string>& environment = {});
  ~ChildProcess();

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The raw wait status once the process has ended, without blocking.
  std::optional<int> poll();
  // Waits up to the limit; kills the process if it is still running then.
  int wait(std::chrono::milliseconds limit);

  std::string standardOutput() const;
  std::string standardError() const;

private:
  pid_t m_pid = -1;
  std::optional<int> m_status;
  std::filesystem::path m_output;
  std::filesystem::path m_error;
};

// Exit code of a normally ended process, -1 when a signal ended it.
int exitCode(int waitStatus);

#endif
