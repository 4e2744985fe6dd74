#include "ByteReader.h"

#include <cstring>

void ByteReader::read(void* data, std::size_t size) {
  expect(size);
  if (size == 0) {
    return;
  }
  std::memcpy(data, m_data + m_consumed, size);
  m_consumed += size;
}

void ByteReader::expect(std::size_t size) {
  if (size > m_size - m_consumed) {
    throw NeedMoreBytes{m_consumed + size};
  }
}
