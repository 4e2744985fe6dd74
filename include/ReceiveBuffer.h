#ifndef RECEIVE_BUFFER_H
#define RECEIVE_BUFFER_H

// The bytes received from the server and not handled yet, the next packet's
// id byte first. A packet is parsed from here once all its bytes have come,
// so that a slow or stalled server never blocks the thread that draws.

#include <cstddef>
#include <vector>

#include "ByteReader.h"

class ReceiveBuffer {
public:
  // The most bytes one packet may take: the largest map chunk the protocol
  // can describe (a 128-block cube) with its compressed block at the
  // longest that may inflate to it, and a little to spare. A packet that
  // needs more is refused before its bytes are buffered.
  static constexpr std::size_t MaxPacketBytes = 6 * 1024 * 1024;

  void append(const unsigned char* data, std::size_t size);
  void clear();

  bool empty() const { return size() == 0; }
  std::size_t size() const { return m_bytes.size() - m_start; }
  // The waiting packet's id byte; only when not empty.
  unsigned char front() const { return m_bytes[m_start]; }
  // Reads from the waiting packet's first byte on.
  ByteReader reader() const { return ByteReader(m_bytes.data() + m_start, size()); }

  // Whether enough bytes have come for what the last try to parse the
  // waiting packet needed.
  bool worthParsing() const { return size() >= m_needed; }
  // Notes that the waiting packet needs at least `total` bytes. Throws
  // WireFault when that is more than a packet may take.
  void need(std::size_t total);
  // Drops the packet just handled, its first `count` bytes.
  void consume(std::size_t count);

private:
  std::vector<unsigned char> m_bytes;
  std::size_t m_start = 0;
  std::size_t m_needed = 1;
};

#endif
