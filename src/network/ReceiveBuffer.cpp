#include "ReceiveBuffer.h"

#include <algorithm>
#include <string>

#include "WireFault.h"

void ReceiveBuffer::append(const unsigned char* data, std::size_t size) {
  // Handled packets go before the buffer grows: what stays is at most one
  // incomplete packet.
  m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_start));
  m_start = 0;
  m_bytes.insert(m_bytes.end(), data, data + size);
}

void ReceiveBuffer::clear() {
  m_bytes.clear();
  m_start = 0;
  m_needed = 1;
  m_nextTry = 1;
}

// Each dear try is paid for by twice as many new bytes, so that the failed
// tries of a packet together read no more than half of it; once the buffer
// holds as much as any packet may take, the next try settles it.
void ReceiveBuffer::need(std::size_t total, std::size_t examined) {
  if (total > MaxPacketBytes) {
    throw WireFault("message of more than " + std::to_string(MaxPacketBytes) + " bytes");
  }
  m_needed = total;
  m_nextTry = total;
  if (examined >= CheapTry) {
    m_nextTry = std::max(total, std::min(size() + 2 * examined, MaxPacketBytes));
  }
}

void ReceiveBuffer::consume(std::size_t count) {
  m_start += count;
  m_needed = 1;
  m_nextTry = 1;
}
