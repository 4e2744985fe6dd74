#include "Trickler.h"

#include <algorithm>
#include <iostream>

Trickler::Trickler(std::string bytes, std::size_t segment, std::chrono::microseconds period)
    : m_bytes(std::move(bytes)), m_segment(segment), m_period(period),
      m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}), m_thread([this] { serve(); }) {}

Trickler::~Trickler() {
  if (m_thread.joinable())
    m_thread.join();
}

std::string Trickler::port() const {
  return std::to_string(m_acceptor.local_endpoint().port());
}

std::chrono::steady_clock::duration Trickler::finish() {
  m_thread.join();
  return m_took;
}

// Segments leave without waiting for one another (no Nagle), so that the
// client sees them as they were planned.
void Trickler::serve() {
  try {
    asio::ip::tcp::socket socket(m_io);
    m_acceptor.accept(socket);
    socket.set_option(asio::ip::tcp::no_delay(true));
    const auto start = std::chrono::steady_clock::now();
    std::size_t sent = 0;
    for (std::size_t segment = 0; sent < m_bytes.size(); ++segment) {
      std::this_thread::sleep_until(start + segment * m_period);
      const std::size_t size = std::min(m_segment, m_bytes.size() - sent);
      asio::write(socket, asio::buffer(m_bytes.data() + sent, size));
      sent += size;
    }
    m_took = std::chrono::steady_clock::now() - start;
    socket.shutdown(asio::ip::tcp::socket::shutdown_send);
    char scratch[4096];
    asio::error_code end;
    while (!end)
      socket.read_some(asio::buffer(scratch), end);
  } catch (const std::exception& error) {
    std::cerr << "trickling server: " << error.what() << std::endl;
  }
}
