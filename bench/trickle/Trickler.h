#ifndef TRICKLE_TRICKLER_H
#define TRICKLE_TRICKLER_H

// A server on 127.0.0.1 that accepts one connection and sends the given
// bytes in segments of a fixed size on a fixed schedule (late segments are
// sent at once, so that the whole takes the planned time), then closes the
// connection. Everything the client sends is dropped.

#include <chrono>
#include <cstddef>
#include <string>
#include <thread>

#include <asio.hpp>

class Trickler {
public:
  Trickler(std::string bytes, std::size_t segment, std::chrono::microseconds period);
  ~Trickler();
  Trickler(const Trickler&) = delete;
  Trickler& operator=(const Trickler&) = delete;

  std::string port() const;
  // Waits until everything has been sent; the time from the first segment
  // to the last.
  std::chrono::steady_clock::duration finish();

private:
  void serve();

  std::string m_bytes;
  std::size_t m_segment;
  std::chrono::microseconds m_period;
  asio::io_service m_io;
  asio::ip::tcp::acceptor m_acceptor;
  std::chrono::steady_clock::duration m_took{};
  std::thread m_thread;
};

#endif
