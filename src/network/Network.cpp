#include "Network.h"

#include <array>
#include <iostream>
#include <new>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include <poll.h>

#include "Entities/InvalidEntity.h"

namespace {

// How long one turn of the loop may go on with packets that have arrived.
const std::chrono::milliseconds PacketTurn(10);

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

std::string hexText(std::uint8_t value) {
  std::ostringstream text;
  text << std::hex << static_cast<unsigned>(value);
  return text.str();
}

} // namespace

Network::Network(asio::io_service& ioService) : m_ioService(ioService), m_socket(ioService) {}

Network::~Network() {
  asio::error_code ignored;
  m_socket.close(ignored);
}

void Network::setAccountServices(AccountServices services) {
  m_accountServices = std::move(services);
}

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
  // new server ahead of its handshake.
  if (m_socket.is_open()) {
    disconnect();
  }
  ++m_connection;
  m_outputBuffer.consume(m_outputBuffer.size());
  m_outputInFlight.clear();
  startConnect(addresses.begin());
}

void Network::startConnect(asio::ip::tcp::resolver::iterator endpoint) {
  const asio::ip::tcp::endpoint address = endpoint->endpoint();
  std::cout << "attempting to connect to: " << endpointText(address) << std::endl;
  if (!m_socket.is_open()) {
    m_socket.open(address.protocol());
  }
  m_socket.async_connect(address, [this, endpoint, connection = m_connection](
                                      const asio::error_code& error) {
    if (!isStale(connection)) {
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

void Network::startFlush(Completion completion) {
  const auto queued = m_outputBuffer.data();
  m_outputInFlight.assign(asio::buffers_begin(queued), asio::buffers_end(queued));
  m_outputBuffer.consume(m_outputBuffer.size());
  asio::async_write(m_socket, asio::buffer(m_outputInFlight),
                    [this, completion, connection = m_connection](const asio::error_code& error,
                                                                  std::size_t) {
                      if (isStale(connection)) {
                        return;
                      }
                      m_outputInFlight.clear();
                      (this->*completion)(error);
                    });
}

void Network::handle_write(const asio::error_code& error) {
  if (!writeFailed(error)) {
    startRead();
  }
}

// The flush ahead of a parse is over: the waiting packet is handled now, and
// output queued during the flush (a tick may have run) waits for the next one.
// Flushing again first could hold the packet back for as long as ticks keep
// queueing reports.
void Network::handle_flushed(const asio::error_code& error) {
  if (!writeFailed(error)) {
    handlePacket();
  }
}

bool Network::writeFailed(const asio::error_code& error) {
  if (!error) {
    return false;
  }
  std::cout << "send failed: " << error.message() << std::endl;
  disconnect();
  return true;
}

void Network::startRead() {
  asio::async_read(m_socket, asio::buffer(&m_currentMessageType, 1),
                   [this, connection = m_connection](const asio::error_code& error, std::size_t) {
                     if (isStale(connection)) {
                       std::cerr << "connection lost" << std::endl;
                       return;
                     }
                     handle_receive(error);
                   });
}

bool Network::isStale(unsigned connection) const { return connection != m_connection; }

void Network::disconnect() {
  std::cout << "handle disconnect" << std::endl;
  if (m_socket.is_open()) {
    m_socket.close();
  }
}

bool Network::isConnected() const { return m_socket.is_open(); }

bool Network::flushOutput(std::chrono::milliseconds limit) {
  const asio::error_code error = writeQueued(std::chrono::steady_clock::now() + limit);
  if (error && m_outputBuffer.size() > 0) {
    std::cout << "send failed: " << error.message() << std::endl;
  }
  return m_outputBuffer.size() == 0;
}

bool Network::writeQueuedNow() {
  writeQueued(std::chrono::steady_clock::now());
  return m_outputBuffer.size() == 0;
}

asio::error_code Network::writeQueued(std::chrono::steady_clock::time_point deadline) {
  asio::error_code error;
  if (!m_socket.is_open()) {
    return asio::error::not_connected;
  }
  m_socket.non_blocking(true, error);
  while (!error && m_outputBuffer.size() > 0) {
    m_outputBuffer.consume(m_socket.write_some(m_outputBuffer.data(), error));
    if (error == asio::error::would_block) {
      error = waitUntilWritable(deadline) ? asio::error_code() : asio::error::timed_out;
    }
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

void Network::handle_receive(const asio::error_code& error) {
  if (!m_socket.is_open()) {
    std::cerr << "connection lost" << std::endl;
    return;
  }
  if (error) {
    std::cout << "receive error: " << error.message() << std::endl;
    disconnect();
    return;
  }
  // The id byte waits in m_currentMessageType while queued output goes first:
  // at once when the socket takes it, otherwise through an asynchronous flush.
  if (m_outputBuffer.size() > 0 && !writeQueuedNow()) {
    startFlush(&Network::handle_flushed);
    return;
  }
  handlePacket();
}

void Network::handlePacket() {
  // Packets already waiting are handled in this turn of the loop, for a few
  // milliseconds: one packet per turn falls behind a busy server as soon as
  // the ticks take their whole 50 ms, and its keep-alives then go unanswered.
  const auto turnEnds = std::chrono::steady_clock::now() + PacketTurn;
  do {
    try {
      dispatch();
    } catch (const Entities::InvalidEntity&) {
      // A packet about an entity that is not tracked: nothing to update.
    } catch (const std::exception& failure) {
      endSession(failure);
    }
    // Noted before the next read starts: that read may fill the current
    // message type at once.
    m_previousMessageType = m_currentMessageType;
    if (m_outputBuffer.size() > 0 && !writeQueuedNow()) {
      startFlush(&Network::handle_write);
      return;
    }
  } while (std::chrono::steady_clock::now() < turnEnds && readWaitingId());
  startRead();
}

bool Network::readWaitingId() {
  if (m_ioService.stopped() || !m_socket.is_open()) {
    return false;
  }
  asio::error_code error;
  if (m_socket.available(error) == 0 || error) {
    return false;
  }
  asio::read(m_socket, asio::buffer(&m_currentMessageType, 1), error);
  return !error;
}

template <class Packet> void Network::receive() {
  Packet packet;
  packet.parse(m_socket);
  handle(packet);
}

// A reason too large to allocate still ends in the kick handler.
template <> void Network::receive<TSPackets::Disconnect>() {
  TSPackets::Disconnect packet;
  try {
    packet.parse(m_socket);
  } catch (const std::bad_alloc& failure) {
    std::cout << "disconnect crashed" << std::endl;
    packet.reason = failure.what();
  }
  handle(packet);
}

void Network::dispatch() {
  using Receiver = void (Network::*)();
  static const std::array<Receiver, 256> receivers = [] {
    std::array<Receiver, 256> table{};
#define TS_RECEIVER_Dispatched(packetId, Class)                                                    \
  table[packetId] = &Network::receive<TSPackets::Class>;
#define TS_RECEIVER_Unknown(packetId, Class)
#define TS_RECEIVER(packetId, Class, Read, Write, Dispatch, fields)                                \
  TS_RECEIVER_##Dispatch(packetId, Class)
    TS_PACKET_CATALOGUE(TS_RECEIVER)
#undef TS_RECEIVER
#undef TS_RECEIVER_Unknown
#undef TS_RECEIVER_Dispatched
    return table;
  }();

  const Receiver receiver = receivers[m_currentMessageType];
  if (receiver == nullptr) {
    reportUnknownMessage();
  }
  (this->*receiver)();
}

void Network::reportUnknownMessage() const {
  std::cerr << std::hex << std::showbase;
  std::cerr << "unknown message type received: " << static_cast<unsigned>(m_currentMessageType)
            << std::endl;
  std::cerr << "previous message type received: " << static_cast<unsigned>(m_previousMessageType)
            << std::endl;
  std::cerr << std::dec << std::noshowbase;
  throw std::runtime_error("unknown message type received");
}

// The stream is at an unknown position now: nothing more can be read from it.
void Network::endSession(const std::exception& error) const {
  std::cerr << "An error occurred during message parsing: " << error.what() << std::endl;
  std::cerr << hexText(m_currentMessageType) << std::endl;
  throw std::runtime_error("the connection to the server ended on an error in message 0x" +
                           hexText(m_currentMessageType) + ": " + error.what());
}
