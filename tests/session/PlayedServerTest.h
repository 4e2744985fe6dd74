#ifndef PLAYED_SERVER_TEST_H
#define PLAYED_SERVER_TEST_H

// A test that plays a game server's side of one client connection, packet
// by packet, on loopback. The client under test runs on an event loop that
// the test pumps (pump()) while it waits for what the client sends.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include <asio.hpp>

#include "server/ServerPackets.h"

class PlayedServerTest : public testing::Test {
protected:
  PlayedServerTest();

  // Pumps the client's loop until the condition holds; fails the test after
  // the limit.
  bool pumpUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(10));

  std::string port() const { return std::to_string(m_acceptor.local_endpoint().port()); }
  // Takes the client's connection, pumping until it arrives.
  void acceptConnection();
  // The server's side closes the connection.
  void closeConnection() { m_socket.close(); }
  // The server's side of the handshake without an account login, for the
  // player "Tester", and the Login that welcomes them as entity 4711 in the
  // game mode m_serverMode.
  void playLogIn();

  template <class Packet> void serverSend(const Packet& packet) {
    serverSendBytes(ServerPackets::bytes(packet));
  }
  // Packets written by hand, id byte first.
  void serverSendBytes(const std::string& bytes) { asio::write(m_socket, asio::buffer(bytes)); }
  // Waits for the client's next packet, checks its id and reads it.
  template <class Packet> Packet serverReceive() {
    expectPacketId(Packet::Id);
    Packet packet;
    if (!testing::Test::HasFatalFailure())
      packet.parse(m_socket);
    return packet;
  }
  // Like serverReceive, passing over the position reports that the client's
  // ticks send before the packet.
  template <class Packet> Packet serverReceiveAfterReports() {
    unsigned char id = receivePacketId();
    while (id == TSPackets::PlayerPosAndLook::Id) {
      TSPackets::PlayerPosAndLook report;
      report.parse(m_socket);
      id = receivePacketId();
    }
    Packet packet;
    if (id == Packet::Id)
      packet.parse(m_socket);
    else
      ADD_FAILURE() << "received packet " << int(id) << " instead of " << int(Packet::Id);
    return packet;
  }
  TSPackets::PlayerPosAndLook receivePosition();
  // Waits until the client has closed its side, and returns what it sent
  // until then.
  std::string receiveUntilEnd();
  // Bytes the client sent that have not been read.
  std::size_t unreadBytes() const { return m_socket.available(); }

  static TSPackets::SpawnPoint spawnPoint(std::int32_t x, std::int32_t y, std::int32_t z);

private:
  // One round of the client's loop: runs what is ready, or waits a moment.
  virtual void pump() = 0;
  void expectPacketId(unsigned char id);
  // Waits for the client's next packet and reads its id.
  unsigned char receivePacketId();

  asio::io_service m_serverIo;
  asio::ip::tcp::acceptor m_acceptor{m_serverIo};
  asio::ip::tcp::socket m_socket{m_serverIo};

protected:
  std::int32_t m_serverMode = 0;
};

#endif
