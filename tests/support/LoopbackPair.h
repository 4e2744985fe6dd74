#ifndef LOOPBACK_PAIR_H
#define LOOPBACK_PAIR_H

#include <string>

#include <asio.hpp>

// Two TCP sockets connected to each other over loopback, on one I/O service:
// what one side writes, the other reads.
struct LoopbackPair {
  LoopbackPair();

  // Writes all bytes to the peer socket (blocking).
  void feed(const std::string& bytes);
  // Shuts the peer's sending side: reads on `client` then end with EOF.
  void closeFeed();

  asio::io_service io;
  asio::ip::tcp::socket client{io};
  asio::ip::tcp::socket peer{io};
};

#endif
