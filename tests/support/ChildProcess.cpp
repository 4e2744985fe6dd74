#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "TextFile.h"

extern char** environ;

namespace {
std::filesystem::path scratchFile(const char* kind) {
  std::string pattern = (std::filesystem::temp_directory_path() / "ts-child-").string() + kind + "-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error("cannot create " + pattern);
  close(fd);
  return pattern;
}

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    if (!overrides.count(text.substr(0, text.find('=')))) merged.push_back(text);
  }
  for (const auto& [name, value] : overrides) {
    if (!value.empty()) merged.push_back(name + "=" + value);
  }
  return merged;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command,
                           const std::map<std::string, std::string>& environment,
                           const std::filesystem::path& workingDirectory)
    : m_scratchOutput(workingDirectory.empty()),
      m_output(m_scratchOutput ? scratchFile("out") : workingDirectory / "stdout.log"),
      m_error(m_scratchOutput ? scratchFile("err") : workingDirectory / "stderr.log") {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDirectory.empty())
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, m_error.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> arguments = command;
  std::vector<std::string> variables = mergedEnvironment(environment);
  std::vector<char*> argv = pointers(arguments);
  std::vector<char*> envp = pointers(variables);
  const int failure = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failure != 0) {
    throw std::runtime_error("cannot start " + command.front());
  }
}

ChildProcess::~ChildProcess() {
  if (!m_status) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_scratchOutput) {
    std::error_code ignored;
    std::filesystem::remove(m_output, ignored);
    std::filesystem::remove(m_error, ignored);
  }
}

std::optional<int> ChildProcess::poll() {
  if (!m_status) {
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) m_status = status;
  }
  return m_status;
}

std::optional<int> ChildProcess::waitUpTo(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!poll() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return m_status;
}

int ChildProcess::wait(std::chrono::milliseconds limit) {
  if (!waitUpTo(limit)) {
    kill(m_pid, SIGKILL);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_status = status;
  }
  return *m_status;
}

std::string ChildProcess::standardOutput() const { return readTextFile(m_output); }

std::string ChildProcess::standardError() const { return readTextFile(m_error); }

int exitCode(int waitStatus) { return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1; }
