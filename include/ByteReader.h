#ifndef BYTE_READER_H
#define BYTE_READER_H

// Reads a packet from bytes that have already been received, without ever
// waiting: a read past their end reports how many bytes the packet needs at
// least, so that the caller can try again once that many have arrived.

#include <cstddef>

#include "WireInput.h"

// Thrown by ByteReader when the packet goes on past the bytes received so
// far. Not an error: the packet is simply not complete yet.
struct NeedMoreBytes {
  // Bytes from the packet's start that a new try needs at the least.
  std::size_t total;
};

class ByteReader final : public WireInput {
public:
  ByteReader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

  void read(void* data, std::size_t size) override;
  void expect(std::size_t size) override;

  // Bytes read so far.
  std::size_t consumed() const { return m_consumed; }

private:
  std::size_t m_consumed = 0;
  const unsigned char* m_data;
  std::size_t m_size;
};

#endif
