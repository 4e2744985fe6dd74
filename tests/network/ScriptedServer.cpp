#include "ScriptedServer.h"

#include <stdexcept>

#include <gtest/gtest.h>
#include <poll.h>

namespace {

// Long enough for any step of a script, short enough to end a broken test.
constexpr std::chrono::milliseconds StepLimit(5000);

bool waitFor(int descriptor, std::chrono::milliseconds wait) {
  pollfd entry{descriptor, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0;
}

} // namespace

void ServerPeer::send(const std::string& bytes) { asio::write(m_socket, asio::buffer(bytes)); }

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
