#include "WireInput.h"

void SocketInput::read(void* data, std::size_t size) {
  asio::read(m_socket, asio::buffer(data, size));
}
