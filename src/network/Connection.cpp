#include "Connection.h"

#include <iostream>
#include <ostream>
#include <sstream>

#include <poll.h>

// Looking up and connecting, the output buffer and its flushes, and the end
// of a session.

namespace {

// Bytes taken from the socket per read.
constexpr std::size_t ReadChunk = 64 * 1024;

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

} // namespace

std::string hostAndPort(const std::string& host, const std::string& port) {
  if (host.find(':') != std::string::npos) {
    return "[" + host + "]:" + port;
  }
  return host + ":" + port;
}

Connection::Connection(asio::io_service& ioService, Handler& handler,
                       std::unique_ptr<HostLookup> lookup)
    : m_ioService(ioService), m_handler(handler),
      m_lookup(lookup ? std::move(lookup) : std::make_unique<ThreadedLookup>(ioService)),
      m_socket(ioService), m_readChunk(ReadChunk), m_quietTimer(ioService),
      m_stallWatch(ioService), m_outputWatch(ioService) {}

Connection::~Connection() {
  m_lookup->cancel();
  asio::error_code ignored;
  m_socket.close(ignored);
}

void Connection::setStallTimeout(std::chrono::milliseconds limit) {
  m_stallWatch.setLimit(limit);
  m_outputWatch.setLimit(limit);
}

void Connection::connect(const std::string& host, const std::string& port) {
  // A new connection starts clean: nothing of an earlier one may reach the
  // new server ahead of its handshake, or be taken for its packets.
  if (isConnected()) {
    disconnect();
  }
  ++m_connection;
  m_outputBuffer.consume(m_outputBuffer.size());
  m_flushLeft = 0;
  m_received.clear();
  m_reading = false;
  m_wakeRead = false;
  m_readFailure = asio::error_code();
  m_quietTimer.cancel();
  m_quietTimerSet = false;
  m_stallWatch.stop();
  m_outputWatch.stop();
  m_held = false;
  m_sessionEnd = SessionEnd();
  m_server = hostAndPort(host, port);
  m_state = State::LookingUp;
  m_lookup->start(host, port,
                  [this, life = std::weak_ptr<char>(m_life), connection = m_connection](
                      const asio::error_code& error, const Addresses& addresses) {
                    if (!life.expired() && !isStale(connection)) {
                      guarded([&] { handle_resolve(error, addresses); });
                    }
                  });
}

void Connection::handle_resolve(const asio::error_code& error, const Addresses& addresses) {
  const asio::error_code failure =
      error ? error : addresses.empty() ? asio::error::host_not_found : asio::error_code();
  if (failure) {
    std::cerr << "cannot connect to " << m_server << ": " << failure.message() << std::endl;
    noteEnd(SessionEnd::Kind::NotFound, failure.message());
    finish();
    return;
  }
  m_state = State::Connecting;
  startConnect(addresses.begin());
}

void Connection::startConnect(Addresses::const_iterator endpoint) {
  const asio::ip::tcp::endpoint address = endpoint->endpoint();
  std::cout << "attempting to connect to: " << endpointText(address) << std::endl;
  asio::error_code error;
  if (!m_socket.is_open()) {
    m_socket.open(address.protocol(), error);
  }
  const auto connected = [this, life = std::weak_ptr<char>(m_life), endpoint,
                          connection = m_connection](const asio::error_code& result) {
    if (!life.expired() && !isStale(connection)) {
      guarded([&] { handle_connect(result, endpoint); });
    }
  };
  // An address family the machine cannot open fails like a refused address.
  if (error) {
    asio::post(m_ioService, [connected, error] { connected(error); });
    return;
  }
  m_socket.async_connect(address, connected);
}

void Connection::handle_connect(const asio::error_code& error,
                                Addresses::const_iterator endpoint) {
  std::cout << "handle_connect" << std::endl;
  if (!error) {
    std::cout << "connected to: " << endpointText(endpoint->endpoint()) << std::endl;
    m_state = State::Established;
    m_handler.connected();
    startFlush(&Connection::handle_write);
    return;
  }
  // A session that ended meanwhile (the player closed it) tries no further
  // address.
  auto next = endpoint;
  if (m_state == State::Connecting && ++next != Addresses::const_iterator()) {
    std::cout << "connection failed -- retrying" << std::endl;
    asio::error_code ignored;
    m_socket.close(ignored);
    startConnect(next);
    return;
  }
  std::cout << "connection failed: " << error.message() << std::endl;
  endSession(SessionEnd::Kind::ConnectFailed, error.message());
}

void Connection::send(const TSPackets::Packet& packet) {
  std::ostream out(&m_outputBuffer);
  packet.write(out);
  if (m_state != State::Idle && m_outputBuffer.size() > MaxOutputBytes) {
    refuseOutput();
  }
}

// Output piles up only while the server takes none of it (or while it sends
// nothing that would start a flush): what is queued will never leave.
void Connection::refuseOutput() {
  const std::string text = "connection stalled: more than " + std::to_string(MaxOutputBytes) +
                           " bytes of output queued";
  std::cerr << text << std::endl;
  m_outputBuffer.consume(m_outputBuffer.size());
  m_flushLeft = 0;
  endSession(SessionEnd::Kind::Stalled, text);
}

void Connection::sendFirst(const TSPackets::Packet& packet) {
  const auto queued = m_outputBuffer.data();
  const std::string later(asio::buffers_begin(queued), asio::buffers_end(queued));
  m_outputBuffer.consume(later.size());
  send(packet);
  m_outputBuffer.commit(
      asio::buffer_copy(m_outputBuffer.prepare(later.size()), asio::buffer(later)));
}

// A flush writes what the socket takes whenever it is writable. The bytes
// stay in the output buffer until they are written, so that any other write
// (flushOutput) goes on exactly where the flush stopped. A server that takes
// none of them for the stall time has stopped reading: the output watch ends
// the session then.
void Connection::startFlush(Completion completion) {
  m_flushLeft = m_outputBuffer.size();
  awaitWritable(completion);
}

void Connection::awaitWritable(Completion completion) {
  m_outputWatch.start([this] { guarded([&] { reportOutputStall(); }); });
  m_socket.async_wait(asio::socket_base::wait_write,
                      [this, life = std::weak_ptr<char>(m_life), completion,
                       connection = m_connection](const asio::error_code& error) {
                        if (life.expired() || isStale(connection)) {
                          return;
                        }
                        guarded([&] {
                          if (error == asio::error::operation_aborted && !m_socket.is_open()) {
                            reportClosed();
                            return;
                          }
                          const asio::error_code failure = error ? error : writeAvailable();
                          if (failure && failure != asio::error::would_block) {
                            m_flushLeft = 0;
                            m_outputWatch.stop();
                            (this->*completion)(failure);
                          } else if (m_flushLeft > 0) {
                            awaitWritable(completion);
                          } else {
                            m_outputWatch.stop();
                            (this->*completion)(asio::error_code());
                          }
                        });
                      });
}

void Connection::reportOutputStall() {
  std::ostringstream text;
  text << "connection stalled: the server took no output for "
       << std::chrono::duration<double>(m_outputWatch.limit()).count() << " s";
  std::cerr << text.str() << std::endl;
  endSession(SessionEnd::Kind::Stalled, text.str());
}

void Connection::handle_write(const asio::error_code& error) {
  if (!writeFailed(error, "send failed: ")) {
    handle_receive(asio::error_code());
  }
}

// The flush ahead of a parse is over: the waiting packet is handled now, and
// output queued during the flush (a tick may have run) waits for the next one.
// Flushing again first could hold the packet back for as long as ticks keep
// queueing reports.
void Connection::handle_flushed(const asio::error_code& error) {
  if (!writeFailed(error, "receive error: ")) {
    handlePackets();
  }
}

bool Connection::writeFailed(const asio::error_code& error, const char* report) {
  if (!error) {
    return false;
  }
  std::cout << report << error.message() << std::endl;
  endSession(SessionEnd::Kind::Lost, error.message());
  return true;
}

void Connection::disconnect() {
  std::cout << "handle disconnect" << std::endl;
  noteEnd(SessionEnd::Kind::Closed, "");
  finish();
}

void Connection::end(SessionEnd::Kind kind, const std::string& text) { endSession(kind, text); }

void Connection::endSession(SessionEnd::Kind kind, const std::string& text) {
  noteEnd(kind, text);
  disconnect();
}

void Connection::noteEnd(SessionEnd::Kind kind, const std::string& text) {
  if (m_sessionEnd.kind == SessionEnd::Kind::None) {
    m_sessionEnd = SessionEnd{kind, text};
  }
}

// Completions still under way on the socket end with "operation aborted"
// and see the socket closed.
void Connection::finish() {
  m_lookup->cancel();
  m_stallWatch.stop();
  m_outputWatch.stop();
  m_quietTimer.cancel();
  m_held = false;
  asio::error_code ignored;
  m_socket.close(ignored);
  if (m_state == State::Idle) {
    return;
  }
  m_state = State::Idle;
  m_handler.ended(m_sessionEnd);
}

bool Connection::flushOutput(std::chrono::milliseconds limit) {
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

asio::error_code Connection::writeAvailable() {
  if (!m_socket.is_open()) {
    return asio::error::not_connected;
  }
  asio::error_code error;
  m_socket.non_blocking(true, error);
  while (!error && m_outputBuffer.size() > 0) {
    const std::size_t written = m_socket.write_some(m_outputBuffer.data(), error);
    m_outputBuffer.consume(written);
    m_flushLeft -= std::min(m_flushLeft, written);
    // The server reads: the stall time starts again from here.
    if (written > 0) {
      m_outputWatch.stop();
    }
  }
  asio::error_code ignored;
  m_socket.non_blocking(false, ignored);
  return error;
}

bool Connection::waitUntilWritable(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) {
    return false;
  }
  pollfd descriptor{m_socket.native_handle(), POLLOUT, 0};
  return ::poll(&descriptor, 1, static_cast<int>(left.count())) > 0;
}
