// libFuzzer entry: the input is one packet as it arrives on the wire, its id
// byte first. The body goes through the packet class's parse over a real
// socket, as in the receive loop; every failure parse may report is caught.

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include <asio.hpp>

#include "TSPackets.h"

namespace {

// Writes the bytes into one end of a fresh stream socket pair and closes it;
// the other end is returned as the client's socket. Bytes beyond the
// socket's buffer are cut: the fuzzer's inputs stay well below it.
bool feedSocket(asio::ip::tcp::socket& client, const std::uint8_t* data, std::size_t size) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
    return false;
  }
  const int buffer = 4 * 1024 * 1024;
  setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
  std::size_t sent = 0;
  while (sent < size) {
    const ssize_t count = send(ends[1], data + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (count <= 0) {
      break;
    }
    sent += static_cast<std::size_t>(count);
  }
  close(ends[1]);
  client.assign(asio::ip::tcp::v4(), ends[0]);
  return true;
}

template <typename Packet> void parsePacket(asio::ip::tcp::socket& socket) {
  Packet packet;
  packet.parse(socket);
}

// Parses a packet of the given id; false when no class has that id.
bool parseById(std::uint8_t id, asio::ip::tcp::socket& socket) {
  switch (id) {
#define TS_FUZZ_CASE(packetId, Class, Read, Write, Dispatch, fields)                               \
  case packetId:                                                                                   \
    parsePacket<TSPackets::Class>(socket);                                                         \
    return true;
    TS_PACKET_CATALOGUE(TS_FUZZ_CASE)
#undef TS_FUZZ_CASE
  }
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  static asio::io_service io;
  asio::ip::tcp::socket client(io);
  if (!feedSocket(client, data + 1, size - 1)) {
    return 0;
  }
  try {
    parseById(data[0], client);
  } catch (const std::exception&) {
  } catch (const char*) {
  }
  return 0;
}
