#ifndef SLOW_LINK_PROXY_H
#define SLOW_LINK_PROXY_H

// A relay on 127.0.0.1 between one client and a server that hands the
// server's bytes on in small segments with a pause before each, the way a
// slow link delivers them; the client's bytes pass at once. Either side
// closing ends the relay in both directions.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

#include <asio.hpp>

class SlowLinkProxy {
public:
  // Segments of at most segmentBytes, one every interval (64 kbit/s is 256
  // bytes every 32 ms).
  SlowLinkProxy(unsigned short serverPort, std::size_t segmentBytes,
                std::chrono::milliseconds interval);
  ~SlowLinkProxy();
  SlowLinkProxy(const SlowLinkProxy&) = delete;
  SlowLinkProxy& operator=(const SlowLinkProxy&) = delete;

  // Where the client connects.
  unsigned short port() const { return m_acceptor.local_endpoint().port(); }

private:
  void serve();
  void relayToServer();
  void relayToClient();
  // Waits until the socket has bytes or has ended; false once stopped.
  bool awaitReadable(asio::ip::tcp::socket& socket);

  unsigned short m_serverPort;
  std::size_t m_segmentBytes;
  std::chrono::milliseconds m_interval;
  asio::io_service m_io;
  asio::ip::tcp::acceptor m_acceptor;
  asio::ip::tcp::socket m_client;
  asio::ip::tcp::socket m_server;
  std::atomic<bool> m_stop{false};
  std::thread m_upstream;
  std::thread m_downstream;
  std::thread m_accepting;
};

#endif
