#ifndef WIRE_INPUT_H
#define WIRE_INPUT_H

// Where the wire readers take their bytes from: the bytes received so far
// (ByteReader, the receive loop's source) or a connected socket, read with
// blocking calls (SocketInput, for tests, tools and the local server).

#include <cstddef>

#include <asio.hpp>

class WireInput {
public:
  // Copies the next `size` bytes to `data`; throws when they cannot come.
  virtual void read(void* data, std::size_t size) = 0;
  // Announces that the next `size` bytes are about to be read. A source that
  // can already tell it will not have them throws here, before the reader
  // sets memory aside for them.
  virtual void expect(std::size_t size) = 0;

protected:
  WireInput() = default;
  ~WireInput() = default;
  WireInput(const WireInput&) = default;
  WireInput& operator=(const WireInput&) = default;
};

// Blocking reads from a connected socket: each read waits until its bytes
// have arrived and throws asio::system_error when the connection fails or
// ends first.
class SocketInput final : public WireInput {
public:
  explicit SocketInput(asio::ip::tcp::socket& socket) : m_socket(socket) {}

  void read(void* data, std::size_t size) override;
  // Bytes still to come cannot be counted: the readers grow their memory
  // step by step as the bytes arrive instead.
  void expect(std::size_t) override {}

private:
  asio::ip::tcp::socket& m_socket;
};

#endif
