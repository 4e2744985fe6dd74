#ifndef RUNNING_SERVER_H
#define RUNNING_SERVER_H

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "server/GameServer.h"
#include "server/ServerLog.h"
#include "server/ServerOptions.h"

// Options for a quick test server: any free ports, a small world.
Server::ServerOptions testOptions();

// A game server on a thread of its own, its log kept for the test.
class RunningServer {
public:
  explicit RunningServer(const Server::ServerOptions& options = testOptions());
  ~RunningServer();

  unsigned short port() const { return m_port; }
  unsigned short httpPort() const { return m_httpPort; }
  const Server::GameServer::SpawnPoint& spawn() const { return m_server->spawnPoint(); }
  const std::string& connectionHash() const { return m_server->connectionHash(); }

  // Waits until a log line holds the text; false after the time limit.
  bool waitForLog(const std::string& text,
                  std::chrono::seconds limit = std::chrono::seconds(10));
  std::vector<std::string> lines();

private:
  asio::io_context m_io;
  std::mutex m_mutex;
  std::condition_variable m_logged;
  std::vector<std::string> m_lines;
  Server::ServerLog m_log;
  std::unique_ptr<Server::GameServer> m_server;
  unsigned short m_port = 0;
  unsigned short m_httpPort = 0;
  std::thread m_thread;
};

#endif
