#include "RunningServer.h"

Server::ServerOptions testOptions() {
  Server::ServerOptions options;
  options.port = 0;
  options.httpPort = 0;
  options.seed = 7;
  options.viewRadius = 2;
  options.mobs = 3;
  return options;
}

RunningServer::RunningServer(const Server::ServerOptions& options)
    : m_log([this](const std::string& line) {
        {
          std::lock_guard<std::mutex> lock(m_mutex);
          m_lines.push_back(line);
        }
        m_logged.notify_all();
      }),
      m_server(std::make_unique<Server::GameServer>(m_io, options, m_log)) {
  m_server->start();
  m_port = m_server->port();
  m_httpPort = m_server->httpPort();
  m_thread = std::thread([this] { m_io.run(); });
}

RunningServer::~RunningServer() {
  asio::post(m_io, [this] { m_server->stop(); });
  m_thread.join();
  m_server.reset();
}

bool RunningServer::waitForLog(const std::string& text, std::chrono::seconds limit) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_logged.wait_for(lock, limit, [&] {
    for (const std::string& line : m_lines)
      if (line.find(text) != std::string::npos)
        return true;
    return false;
  });
}

std::vector<std::string> RunningServer::lines() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_lines;
}
