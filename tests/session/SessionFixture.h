#ifndef SESSION_FIXTURE_H
#define SESSION_FIXTURE_H

// A client session without a window against a server played by the test,
// packet by packet, on loopback: the test pumps the session's event loop in
// between.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "OutputCapture.h"
#include "server/ServerPackets.h"
#include "session/ClientSession.h"

class SessionTest : public testing::Test {
protected:
  SessionTest();

  // Runs the session's pending work until the condition holds; fails the
  // test after the limit.
  bool pumpUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(10));

  // Connects to the test's server and plays its side of the handshake and
  // the login.
  void connectAndLogIn();
  // Takes the session's connection, pumping until it arrives.
  void acceptConnection();
  // The server's side of the handshake without an account login, and the
  // Login that welcomes the player.
  void logIn();

  template <class Packet> void serverSend(const Packet& packet) {
    serverSendBytes(ServerPackets::bytes(packet));
  }
  // Packets written by hand, id byte first.
  void serverSendBytes(const std::string& bytes) { asio::write(m_socket, asio::buffer(bytes)); }
  // Waits for the client's next packet, checks its id and reads it.
  template <class Packet> Packet serverReceive() {
    expectPacketId(Packet::Id);
    Packet packet;
    packet.parse(m_socket);
    return packet;
  }
  TSPackets::PlayerPosAndLook receivePosition();
  // Waits until the client has closed its side, and returns what it sent
  // until then.
  std::string receiveUntilEnd();
  // Sends a chat line and pumps until the session has handled it: every
  // packet sent before it has been handled then, and what the client wrote
  // before it has arrived.
  void sync();
  // True when the client has sent nothing that has not been read.
  bool clientIsQuiet();
  // A packet that makes the client write its queue without answering.
  void nudge();
  // A tick's report of the feet at the place, looking along +z.
  void report(double x, double feetY, double z);

  std::string port() const { return std::to_string(m_acceptor.local_endpoint().port()); }

  static TSPackets::SpawnPoint spawnPoint(std::int32_t x, std::int32_t y, std::int32_t z);
  static TSPackets::PlayerPosAndLook correction(double x, double y, double z);

  asio::io_service m_io;
  std::unique_ptr<ClientSession> m_session;
  OutputCapture m_capture;
  // What the session told.
  int m_logins = 0;
  std::vector<std::vector<double>> m_placed;
  std::vector<SessionEnd> m_ends;
  ClientSession::Look m_look;
  int m_chats = 0;

private:
  void expectPacketId(unsigned char id);

  asio::io_service m_serverIo;
  asio::ip::tcp::acceptor m_acceptor{m_serverIo};
  asio::ip::tcp::socket m_socket{m_serverIo};
};

#endif
