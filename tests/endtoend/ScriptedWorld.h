#ifndef SCRIPTED_WORLD_H
#define SCRIPTED_WORLD_H

// The server's side of one client session, scripted: handshake and login, the
// spawn, a 3 x 3 column world from the terrain generator, three mobs, then
// time updates and keep-alives until stopped. A reader thread records what
// the client sends.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

struct PositionReport {
  std::chrono::steady_clock::time_point received;
  double x, y, z, stance;
};

class ScriptedWorld {
public:
  ScriptedWorld();
  ~ScriptedWorld();

  unsigned short port() const { return m_acceptor.local_endpoint().port(); }
  // Serves one client on a thread of its own.
  void start();

  std::vector<PositionReport> reports() const;
  std::vector<int> keepAliveEchoes() const;
  std::string disconnectReason() const;
  std::string userName() const;
  bool clientClosed() const { return m_clientClosed; }
  std::string failure() const;

  // Spawn and ground height of the column the player starts in.
  static constexpr int SpawnX = 8, SpawnZ = 8;

private:
  void serve();
  void logIn();
  void sendWorld();
  void keepTime();
  void readClient();
  template <class Packet> void send(const Packet& packet);
  void fail(const std::string& why);

  asio::io_context m_io;
  asio::ip::tcp::acceptor m_acceptor;
  asio::ip::tcp::socket m_socket;
  std::thread m_writer;
  std::thread m_reader;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_clientClosed{false};
  mutable std::mutex m_mutex;
  std::vector<PositionReport> m_reports;
  std::vector<int> m_echoes;
  std::string m_disconnectReason;
  std::string m_userName;
  std::string m_failure;
  // What ended the serving thread, when not the test's stop.
  std::string m_serveFailure;
};

#endif
