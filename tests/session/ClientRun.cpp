#include "ClientRun.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

std::string sessionConfig(unsigned short port, int stallTimeoutSeconds) {
  std::ostringstream config;
  config << "[Controls]\nPreconfigured=wasd\n\n[Graphics]\nfov=90\nFiltering=bilinear\n\n"
         << "[Player]\nName=Walker\nPassword=\n\n"
         << "[Server]\nHostname=127.0.0.1\nPort=" << port
         << "\nStallTimeout=" << stallTimeoutSeconds << "\n\n"
         << "[Diagnostics]\nTimings=yes\n";
  return config.str();
}

bool startAndConnect(ClientProcess& client) {
  client.start();
  if (!xdotool("search --sync --onlyvisible --name Ferrowick"))
    return false;
  // Let the first frames through before typing.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  return xdotool("key 8");
}

int quitWithKey(ClientProcess& client, std::chrono::milliseconds& took) {
  const auto pressed = std::chrono::steady_clock::now();
  if (!xdotool("key 0"))
    return -1;
  const std::optional<int> status = client.waitForExit(std::chrono::seconds(20));
  took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               pressed);
  return status ? *status : -1;
}

TickWatch::TickWatch(const ClientProcess& client) : m_path(client.directory() + "/stdout.log") {}

void TickWatch::update() {
  std::ifstream file(m_path, std::ios::binary);
  file.seekg(static_cast<std::streamoff>(m_read));
  const std::string fresh{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const Clock::time_point now = Clock::now();
  m_read += fresh.size();
  m_partial += fresh;
  for (std::size_t end; (end = m_partial.find('\n')) != std::string::npos;) {
    long tick = 0;
    long micros = 0;
    if (std::sscanf(m_partial.c_str(), "tick %ld took %ld us", &tick, &micros) == 2)
      m_ticks.push_back({now - std::chrono::microseconds(micros), now});
    m_partial.erase(0, end + 1);
  }
}

std::chrono::milliseconds TickWatch::longestPauseSince(Clock::time_point from) const {
  Clock::duration longest{};
  for (std::size_t i = 1; i < m_ticks.size(); ++i)
    if (m_ticks[i - 1].end >= from)
      longest = std::max(longest, m_ticks[i].start - m_ticks[i - 1].end);
  return std::chrono::duration_cast<std::chrono::milliseconds>(longest);
}
