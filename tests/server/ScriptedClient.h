#ifndef SCRIPTED_CLIENT_H
#define SCRIPTED_CLIENT_H

#include <any>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "TSPackets.h"

// A client driven step by step by a test: it writes packets the way the
// real client does and reads the server's packets with the client's own
// packet classes. A watchdog ends the connection after a time limit, so a
// server that falls silent fails the test instead of hanging it.
class ScriptedClient {
public:
  struct Received {
    unsigned char id = 0;
    std::any packet;
  };

  explicit ScriptedClient(unsigned short port,
                          std::chrono::seconds limit = std::chrono::seconds(20));
  ~ScriptedClient();

  template <typename Packet> void send(const Packet& packet) {
    std::ostringstream out;
    packet.write(out);
    sendRaw(out.str());
  }
  void sendRaw(const std::string& bytes);
  void close();

  // The next packet; throws when the connection ends first.
  Received next();
  // The next packet, which must be a Packet.
  template <typename Packet> Packet expect() {
    const Received received = next();
    if (received.id != Packet::Id)
      throw std::runtime_error("expected packet " + std::to_string(Packet::Id) + ", got " +
                               std::to_string(received.id));
    return std::any_cast<Packet>(received.packet);
  }
  // The first Packet from now, skipping others (kept in `skipped`).
  template <typename Packet> Packet until() {
    for (;;) {
      Received received = next();
      if (received.id == Packet::Id)
        return std::any_cast<Packet>(received.packet);
      skipped.push_back(std::move(received));
    }
  }
  // Reads until the server closes the connection; returns what came before.
  std::vector<Received> drain();

  // HandShake with the name, then Login once the server has answered.
  // Returns the server's handshake answer.
  std::string logIn(const std::string& name);

  std::vector<Received> skipped;

private:
  asio::io_context m_io;
  asio::ip::tcp::socket m_socket{m_io};
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_watchdog;
};

// One HTTP GET on loopback; returns the body.
std::string httpGet(unsigned short port, const std::string& target);

#endif
