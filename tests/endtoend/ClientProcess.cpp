#include "ClientProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <thread>

#include "TextFile.h"

namespace {

std::string walkerConfig(unsigned short port) {
  std::ostringstream config;
  config << "[Controls]\nPreconfigured=wasd\n\n[Graphics]\nfov=90\nFiltering=bilinear\n\n"
         << "[Player]\nName=Walker\nPassword=\n\n"
         << "[Server]\nHostname=127.0.0.1\nPort=" << port << "\n";
  return config.str();
}

} // namespace

ClientProcess::ClientProcess(unsigned short port) : ClientProcess(walkerConfig(port)) {}

ClientProcess::ClientProcess(const std::string& config) {
  m_directory.write("tessellar.cfg", config);
}

ClientProcess::~ClientProcess() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
}

void ClientProcess::start() {
  m_pid = fork();
  if (m_pid == 0) {
    if (chdir(m_directory.path().c_str()) != 0)
      _exit(126);
    const int out = open("stdout.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("stderr.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execl("./ferrowick", "ferrowick", static_cast<char*>(nullptr));
    _exit(127);
  }
}

std::optional<int> ClientProcess::waitForExit(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

std::string ClientProcess::output() const { return readTextFile(directory() + "/stdout.log"); }

std::string ClientProcess::errors() const { return readTextFile(directory() + "/stderr.log"); }

std::vector<std::string> ClientProcess::filesStartingWith(const std::string& prefix) const {
  std::vector<std::string> files;
  if (DIR* dir = opendir(m_directory.path().c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.compare(0, prefix.size(), prefix) == 0)
        files.push_back(directory() + "/" + name);
    }
    closedir(dir);
  }
  return files;
}

bool xdotool(const std::string& arguments) {
  return std::system(("timeout 30 xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}
