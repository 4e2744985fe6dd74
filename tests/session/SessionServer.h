#ifndef SESSION_SERVER_H
#define SESSION_SERVER_H

// A game server for one client process, scripted by the test: it answers the
// handshake and the login, plays the test's script on a thread of its own,
// then sends the time four times a second and a keep-alive every second
// until it is stopped. A second thread records what the client sends.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "server/ClientPacket.h"
#include "server/ServerPackets.h"

class SessionServer {
public:
  using Clock = std::chrono::steady_clock;
  using Script = std::function<void(SessionServer&)>;

  // A PlayerPosAndLook as the client sent it.
  struct Report {
    Clock::time_point received;
    double x, y, z, stance;
    float yaw, pitch;
  };

  explicit SessionServer(Script script);
  ~SessionServer();
  SessionServer(const SessionServer&) = delete;
  SessionServer& operator=(const SessionServer&) = delete;

  unsigned short port() const { return m_acceptor.local_endpoint().port(); }

  // For the script, on the server's thread.
  template <class Packet> void send(const Packet& packet) {
    sendBytes(ServerPackets::bytes(packet));
  }
  void sendBytes(const std::string& bytes);
  // The generated world's column (seed 0), announced first.
  void sendColumn(int chunkX, int chunkZ);
  // The map chunk of that column as it goes on the wire.
  static std::string columnBytes(int chunkX, int chunkZ);
  // Where the generated world's ground is at a block column.
  static int groundHeight(int x, int z);
  // Places the player two blocks above the generated ground at (8.5, 8.5).
  void placePlayerAboveGround();
  // Sends nothing more and keeps the connection open until the test ends.
  void stall();

  // For the test.
  std::vector<Report> reports() const;
  std::string disconnectReason() const;
  bool stalled() const { return m_stalled; }
  std::string failure() const;

private:
  void serve(const Script& script);
  void acceptClient();
  // The client's next packet, read the way the local world server does.
  Server::ClientPacket nextPacket();
  void logIn();
  void keepTime();
  void readClient();
  void fail(const std::string& why);

  asio::io_context m_io;
  asio::ip::tcp::acceptor m_acceptor;
  asio::ip::tcp::socket m_socket;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_stalled{false};
  mutable std::mutex m_mutex;
  std::vector<Report> m_reports;
  std::string m_disconnectReason;
  std::string m_failure;
  std::thread m_reader;
  std::thread m_writer;
};

#endif
