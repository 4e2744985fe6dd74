#include "ClientProcess.h"

#include <dirent.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

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

void ClientProcess::start() {
  m_process.emplace(std::vector<std::string>{(m_directory.path() / "ferrowick").string()},
                    std::map<std::string, std::string>{}, m_directory.path());
}

std::optional<int> ClientProcess::waitForExit(std::chrono::milliseconds limit) {
  const std::optional<int> status = m_process ? m_process->waitUpTo(limit) : std::nullopt;
  if (!status) return std::nullopt;
  return WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
}

std::string ClientProcess::output() const { return m_process ? m_process->standardOutput() : ""; }

std::string ClientProcess::errors() const { return m_process ? m_process->standardError() : ""; }

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
