#ifndef RECEIVE_BUFFER_H
#define RECEIVE_BUFFER_H

// The bytes received from the server and not handled yet, the next packet's
// id byte first. A packet is parsed from here once all its bytes have come,
// so that a slow or stalled server never blocks the thread that draws.
//
// The protocol has no length prefix: only a try to parse tells whether the
// waiting packet is whole, and a failed try says how many bytes it needs at
// least. A try that read much is repeated only once the buffer has grown by
// twice as much as it read: the failed tries of a packet trickled in small
// pieces then read at most half of it together, and all its tries cost
// about one and a half parses of it. A try that read little is repeated as
// soon as the bytes it asked for have come.

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
  // A try that read fewer bytes than this is cheap to repeat: packets of
  // ordinary sizes are retried as soon as the bytes they asked for are there.
  static constexpr std::size_t CheapTry = 4 * 1024;

  void append(const unsigned char* data, std::size_t size);
  void clear();

  bool empty() const { return size() == 0; }
  std::size_t size() const { return m_bytes.size() - m_start; }
  // The waiting packet's id byte; only when not empty.
  unsigned char front() const { return m_bytes[m_start]; }
  // Reads from the waiting packet's first byte on.
  ByteReader reader() const { return ByteReader(m_bytes.data() + m_start, size()); }

  // Tries to parse the waiting packet: `parse` reads it from the reader, id
  // byte first, and calls consume() once it has read it whole. True when it
  // did; false when the packet needs more bytes (noted for the next try).
  // Throws what `parse` throws, and WireFault when the packet would need
  // more than MaxPacketBytes.
  template <class Parse> bool tryParse(Parse&& parse) {
    ByteReader reader = this->reader();
    try {
      parse(reader);
    } catch (const NeedMoreBytes& more) {
      need(more.total, reader.consumed());
      return false;
    }
    return true;
  }

  // Whether enough bytes have come for the next try.
  bool worthParsing() const { return size() >= m_nextTry; }
  // Whether the bytes the last try asked for have come while the next try
  // waits for more: the packet may be whole already. Once no more bytes
  // come, retryNow() lets it be tried.
  bool deferred() const { return size() >= m_needed && size() < m_nextTry; }
  void retryNow() { m_nextTry = m_needed; }
  // Notes that the waiting packet needs at least `total` bytes, after a try
  // that read `examined` of them. Throws WireFault when that is more than a
  // packet may take.
  void need(std::size_t total, std::size_t examined);
  // Drops the packet just handled, its first `count` bytes.
  void consume(std::size_t count);

private:
  std::vector<unsigned char> m_bytes;
  std::size_t m_start = 0;
  // What the waiting packet needs at least, and the size at which it is
  // tried next.
  std::size_t m_needed = 1;
  std::size_t m_nextTry = 1;
};

#endif
