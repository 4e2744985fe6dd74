#include "ScriptedServer.h"

#include <stdexcept>

#include <gtest/gtest.h>
#include <poll.h>

namespace {

// Long enough for any step of a script, short enough to end a broken test.
constexpr std::chrono::milliseconds StepLimit(5000);
// Long enough for a client to fill its buffers and give up on the server.
constexpr std::chrono::milliseconds UnreadLimit(20000);

bool waitFor(int descriptor, std::chrono::milliseconds wait) {
  pollfd entry{descriptor, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0;
}

} // namespace

void ServerPeer::send(const std::string& bytes) { asio::write(m_socket, asio::buffer(bytes)); }

void ServerPeer::noDelay() { m_socket.set_option(asio::ip::tcp::no_delay(true)); }

bool ServerPeer::waitReadable(std::chrono::milliseconds wait) {
  return waitFor(m_socket.native_handle(), wait);
}

std::string ServerPeer::receive(std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t received = 0;
  while (received < count) {
    if (!waitReadable(StepLimit)) {
      throw std::runtime_error("the client sent " + std::to_string(received) + " of " +
                               std::to_string(count) + " expected bytes");
    }
    received += m_socket.read_some(asio::buffer(&bytes[received], count - received));
  }
  return bytes;
}

void ServerPeer::sendWhileOpen(const std::string& bytes) {
  asio::error_code ignored;
  asio::write(m_socket, asio::buffer(bytes), ignored);
}

void ServerPeer::reset() {
  m_socket.set_option(asio::socket_base::linger(true, 0));
  m_socket.close();
}

void ServerPeer::endSending() { m_socket.shutdown(asio::ip::tcp::socket::shutdown_send); }

bool ServerPeer::idle(std::chrono::milliseconds wait) { return !waitReadable(wait); }

void ServerPeer::awaitEnd() { receiveUntilEnd(); }

std::string ServerPeer::receiveUntilEnd() {
  std::string received;
  char scratch[4096];
  asio::error_code error;
  while (!error) {
    if (!waitReadable(StepLimit)) {
      throw std::runtime_error("the client did not close the connection");
    }
    received.append(scratch, m_socket.read_some(asio::buffer(scratch), error));
  }
  return received;
}

// The client's end shows without reading what it sent before: its close
// sets the read side's hang-up, or a reset the error.
bool ServerPeer::closedByClient(std::chrono::milliseconds wait) {
  pollfd entry{m_socket.native_handle(), POLLRDHUP, 0};
  return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0 &&
         (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void ServerPeer::sendUntilClosed(const std::string& bytes, std::chrono::milliseconds interval) {
  const auto deadline = std::chrono::steady_clock::now() + UnreadLimit;
  while (!closedByClient(interval)) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the client did not close the connection");
    }
    asio::error_code closed;
    asio::write(m_socket, asio::buffer(bytes), closed);
    if (closed) {
      return;
    }
  }
}

void ServerPeer::awaitEndUnread() {
  if (!closedByClient(UnreadLimit)) {
    throw std::runtime_error("the client did not close the connection");
  }
}

ScriptedServer::ScriptedServer(Script script)
    : m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}),
      m_thread([this, script] { serve(script); }) {}

ScriptedServer::~ScriptedServer() {
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

std::string ScriptedServer::port() const {
  return std::to_string(m_acceptor.local_endpoint().port());
}

void ScriptedServer::serve(Script script) {
  try {
    if (!waitFor(m_acceptor.native_handle(), StepLimit)) {
      throw std::runtime_error("no client connected");
    }
    asio::ip::tcp::socket socket(m_io);
    m_acceptor.accept(socket);
    ServerPeer peer(socket);
    script(peer);
  } catch (const std::exception& error) {
    m_failure = error.what();
  }
}

void ScriptedServer::finish() {
  m_thread.join();
  if (!m_failure.empty()) {
    ADD_FAILURE() << "server script: " << m_failure;
  }
}
