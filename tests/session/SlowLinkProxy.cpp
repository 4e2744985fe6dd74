#include "SlowLinkProxy.h"

#include <vector>

#include <poll.h>

namespace {

// How often the relays look at the stop flag while nothing arrives.
constexpr int PollMilliseconds = 20;

} // namespace

SlowLinkProxy::SlowLinkProxy(unsigned short serverPort, std::size_t segmentBytes,
                             std::chrono::milliseconds interval)
    : m_serverPort(serverPort), m_segmentBytes(segmentBytes), m_interval(interval),
      m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}), m_client(m_io), m_server(m_io),
      m_accepting([this] { serve(); }) {}

SlowLinkProxy::~SlowLinkProxy() {
  m_stop = true;
  m_accepting.join();
  // A relay blocked in a write to a side that reads no more ends here.
  asio::error_code ignored;
  m_client.shutdown(asio::socket_base::shutdown_both, ignored);
  m_server.shutdown(asio::socket_base::shutdown_both, ignored);
  if (m_upstream.joinable())
    m_upstream.join();
  if (m_downstream.joinable())
    m_downstream.join();
}

bool SlowLinkProxy::awaitReadable(asio::ip::tcp::socket& socket) {
  pollfd entry{socket.native_handle(), POLLIN, 0};
  while (!m_stop) {
    if (::poll(&entry, 1, PollMilliseconds) > 0)
      return true;
  }
  return false;
}

void SlowLinkProxy::serve() {
  pollfd listening{m_acceptor.native_handle(), POLLIN, 0};
  while (!m_stop && ::poll(&listening, 1, PollMilliseconds) <= 0) {
  }
  if (m_stop)
    return;
  asio::error_code error;
  m_acceptor.accept(m_client, error);
  if (!error)
    m_server.connect({asio::ip::address_v4::loopback(), m_serverPort}, error);
  if (error)
    return;
  m_upstream = std::thread([this] { relayToServer(); });
  m_downstream = std::thread([this] { relayToClient(); });
}

void SlowLinkProxy::relayToServer() {
  std::vector<char> bytes(64 * 1024);
  asio::error_code error;
  while (awaitReadable(m_client)) {
    const std::size_t size = m_client.read_some(asio::buffer(bytes), error);
    if (error)
      break;
    asio::write(m_server, asio::buffer(bytes.data(), size), error);
    if (error)
      break;
  }
  asio::error_code ignored;
  m_server.shutdown(asio::socket_base::shutdown_send, ignored);
}

void SlowLinkProxy::relayToClient() {
  std::vector<char> segment(m_segmentBytes);
  asio::error_code error;
  while (awaitReadable(m_server)) {
    const std::size_t size = m_server.read_some(asio::buffer(segment), error);
    if (error)
      break;
    std::this_thread::sleep_for(m_interval);
    asio::write(m_client, asio::buffer(segment.data(), size), error);
    if (error)
      break;
  }
  asio::error_code ignored;
  m_client.shutdown(asio::socket_base::shutdown_send, ignored);
}
