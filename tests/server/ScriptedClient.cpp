#include "ScriptedClient.h"

#include <stdexcept>

#include <sys/socket.h>

#include "TSDataTypes.h"

ScriptedClient::ScriptedClient(unsigned short port, std::chrono::seconds limit) {
  m_socket.connect({asio::ip::address_v4::loopback(), port});
  m_watchdog = std::thread([this, limit] {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_done.wait_for(lock, limit, [this] { return m_finished; }))
      ::shutdown(m_socket.native_handle(), SHUT_RDWR);
  });
}

ScriptedClient::~ScriptedClient() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_one();
  m_watchdog.join();
}

void ScriptedClient::sendRaw(const std::string& bytes) {
  asio::write(m_socket, asio::buffer(bytes));
}

void ScriptedClient::close() { ::shutdown(m_socket.native_handle(), SHUT_RDWR); }

#define TS_TEST_CASE_Dispatched(Class)                                                             \
  case TSPackets::Class::Id: {                                                                     \
    TSPackets::Class packet;                                                                       \
    packet.parse(m_socket);                                                                        \
    return {id, packet};                                                                           \
  }
#define TS_TEST_CASE_Unknown(Class)
#define TS_TEST_CASE(packetId, Class, Read, Write, Dispatch, fields)                               \
  BOOST_PP_CAT(TS_TEST_CASE_, Dispatch)(Class)

ScriptedClient::Received ScriptedClient::next() {
  SocketInput in(m_socket);
  const auto id = static_cast<unsigned char>(TSDataTypes::parseByte(in));
  switch (id) {
    TS_PACKET_CATALOGUE(TS_TEST_CASE)
  default:
    throw std::runtime_error("the server sent unknown packet id " + std::to_string(id));
  }
}

std::vector<ScriptedClient::Received> ScriptedClient::drain() {
  std::vector<Received> received;
  for (;;) {
    try {
      received.push_back(next());
    } catch (const asio::system_error&) {
      return received;
    }
  }
}

std::string ScriptedClient::logIn(const std::string& name) {
  TSPackets::HandShake hello;
  hello.connectionHash = name;
  send(hello);
  const std::string hash = expect<TSPackets::HandShake>().connectionHash;
  TSPackets::Login login;
  login.userName = name;
  send(login);
  return hash;
}

std::string httpGet(unsigned short port, const std::string& target) {
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::address_v4::loopback(), port});
  const std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  asio::write(socket, asio::buffer(request));
  std::string response;
  asio::error_code error;
  asio::read(socket, asio::dynamic_buffer(response), error);
  const std::size_t bodyStart = response.find("\r\n\r\n");
  return bodyStart == std::string::npos ? response : response.substr(bodyStart + 4);
}
