#include "server/ServerLog.h"

#include <iostream>

namespace Server {

ServerLog::ServerLog()
    : m_sink([](const std::string& line) { std::cout << line << std::endl; }) {}

ServerLog::ServerLog(Sink sink) : m_sink(std::move(sink)) {}

void ServerLog::write(const std::string& line) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_sink(line);
}

} // namespace Server
