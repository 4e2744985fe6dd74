#include "Network.h"

#include <iostream>
#include <ostream>

#include <poll.h>

// Connecting, the output buffer and its flushes, and closing.

namespace {

// Bytes taken from the socket per read.
constexpr std::size_t ReadChunk = 64 * 1024;

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

} // namespace

Network::Network(asio::io_service& ioService)
    : m_ioService(ioService), m_socket(ioService), m_readChunk(ReadChunk),
      m_stallWatch(ioService) {}

Network::~Network() {
  stopAccountLogin();
  m_accountLogin.reset();
  asio::error_code ignored;
  m_socket.close(ignored);
}

void Network::setAccountServices(AccountServices services) {
  m_accountServices = std::move(services);
}

void Network::setStallTimeout(std::chrono::milliseconds limit) { m_stallWatch.setLimit(limit); }

void Network::connect(std::string host, std::string port, std::string user, std::string password) {
  m_userName = std::move(user);
  m_password = std::move(password);
  asio::ip::tcp::resolver resolver(m_ioService);
  connectResolved(resolver.resolve(host, port, asio::ip::resolver_base::address_configured));
}

void Network::connectResolved(const asio::ip::tcp::resolver::results_type& addresses) {
  if (addresses.empty()) {
    throw asio::system_error(asio::error::host_not_found);
  }
  // A new connection starts clean: nothing of an earlier one may reach the
  // new server ahead of its handshake, or be taken for its packets.
  if (m_socket.is_open()) {
    disconnect();
  }
  stopAccountLogin();
  m_accountLogin.reset();
  ++m_connection;
  m_outputBuffer.consume(m_outputBuffer.size());
  m_flushLeft = 0;
  m_received.clear();
  m_stallWatch.stop();
  m_sessionEnd = SessionEnd();
  startConnect(addresses.begin());
}

void Network::startConnect(asio::ip::tcp::resolver::iterator endpoint) {
  const asio::ip::tcp::endpoint address = endpoint->endpoint();
  std::cout << "attempting to connect to: " << endpointText(address) << std::endl;
  if (!m_socket.is_open()) {
    m_socket.open(address.protocol());
  }
  m_socket.async_connect(address, [this, life = std::weak_ptr<char>(m_life), endpoint,
                                   connection = m_connection](const asio::error_code& error) {
    if (!life.expired() && !isStale(connection)) {
      handle_connect(error, endpoint);
    }
  });
}

void Network::handle_connect(const asio::error_code& error,
                             asio::ip::tcp::resolver::iterator endpoint) {
  std::cout << "handle_connect" << std::endl;
  if (!error) {
    std::cout << "connected to: " << endpointText(endpoint->endpoint()) << std::endl;
    std::cout << "sending handshake" << std::endl;
    TSPackets::HandShake handShake;
    handShake.connectionHash = m_userName;
    sendFirst(handShake);
    startFlush(&Network::handle_write);
    return;
  }
  // A socket closed meanwhile means disconnect was called: no further address.
  auto next = endpoint;
  if (m_socket.is_open() && ++next != asio::ip::tcp::resolver::iterator()) {
    std::cout << "connection failed -- retrying" << std::endl;
    m_socket.close();
    startConnect(next);
    return;
  }
  std::cout << "connection failed: " << error.message() << std::endl;
  noteEnd(SessionEnd::Kind::ConnectFailed, error.message());
  disconnect();
}

void Network::send(const TSPackets::Packet& packet) {
  std::ostream out(&m_outputBuffer);
  packet.write(out);
}

// The server expects the handshake before anything queued while connecting.
void Network::sendFirst(const TSPackets::Packet& packet) {
  const auto queued = m_outputBuffer.data();
  const std::string later(asio::buffers_begin(queued), asio::buffers_end(queued));
  m_outputBuffer.consume(later.size());
  send(packet);
  m_outputBuffer.commit(
      asio::buffer_copy(m_outputBuffer.prepare(later.size()), asio::buffer(later)));
}

// A flush writes what the socket takes whenever it is writable. The bytes
// stay in the output buffer until they are written, so that any other write
// (flushOutput) goes on exactly where the flush stopped.
void Network::startFlush(Completion completion) {
  m_flushLeft = m_outputBuffer.size();
  awaitWritable(completion);
}

void Network::awaitWritable(Completion completion) {
  m_socket.async_wait(asio::socket_base::wait_write,
                      [this, life = std::weak_ptr<char>(m_life), completion,
                       connection = m_connection](const asio::error_code& error) {
                        if (life.expired() || isStale(connection)) {
                          return;
                        }
                        const asio::error_code failure = error ? error : writeAvailable();
                        if (failure && failure != asio::error::would_block) {
                          m_flushLeft = 0;
                          (this->*completion)(failure);
                        } else if (m_flushLeft > 0) {
                          awaitWritable(completion);
                        } else {
                          (this->*completion)(asio::error_code());
                        }
                      });
}

void Network::handle_write(const asio::error_code& error) {
  if (!writeFailed(error, "send failed: ")) {
    handle_receive(asio::error_code());
  }
}

// The flush ahead of a parse is over: the waiting packet is handled now, and
// output queued during the flush (a tick may have run) waits for the next one.
// Flushing again first could hold the packet back for as long as ticks keep
// queueing reports.
void Network::handle_flushed(const asio::error_code& error) {
  if (!writeFailed(error, "receive error: ")) {
    handlePackets();
  }
}

bool Network::writeFailed(const asio::error_code& error, const char* report) {
  if (!error) {
    return false;
  }
  std::cout << report << error.message() << std::endl;
  noteEnd(SessionEnd::Kind::Lost, error.message());
  disconnect();
  return true;
}

bool Network::isStale(unsigned connection) const { return connection != m_connection; }

void Network::disconnect() {
  std::cout << "handle disconnect" << std::endl;
  noteEnd(SessionEnd::Kind::Closed, "");
  stopAccountLogin();
  m_stallWatch.stop();
  if (m_socket.is_open()) {
    m_socket.close();
  }
}

bool Network::isConnected() const { return m_socket.is_open(); }

// The first reason given for the end of a session is the one that counts.
void Network::noteEnd(SessionEnd::Kind kind, const std::string& text) {
  if (m_sessionEnd.kind == SessionEnd::Kind::None) {
    m_sessionEnd = SessionEnd{kind, text};
  }
}

bool Network::flushOutput(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  asio::error_code error = writeAvailable();
  while (error == asio::error::would_block && waitUntilWritable(deadline)) {
    error = writeAvailable();
  }
  if (error == asio::error::would_block) {
    error = asio::error::timed_out;
  }
  if (error && m_outputBuffer.size() > 0) {
    std::cout << "send failed: " << error.message() << std::endl;
  }
  return m_outputBuffer.size() == 0;
}

asio::error_code Network::writeAvailable() {
  if (!m_socket.is_open()) {
    return asio::error::not_connected;
  }
  asio::error_code error;
  m_socket.non_blocking(true, error);
  while (!error && m_outputBuffer.size() > 0) {
    const std::size_t written = m_socket.write_some(m_outputBuffer.data(), error);
    m_outputBuffer.consume(written);
    m_flushLeft -= std::min(m_flushLeft, written);
  }
  asio::error_code ignored;
  m_socket.non_blocking(false, ignored);
  return error;
}

bool Network::waitUntilWritable(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) {
    return false;
  }
  pollfd descriptor{m_socket.native_handle(), POLLOUT, 0};
  return ::poll(&descriptor, 1, static_cast<int>(left.count())) > 0;
}
