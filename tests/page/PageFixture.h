#ifndef PAGE_FIXTURE_H
#define PAGE_FIXTURE_H

// A game page in a real window, in a working directory of its own whose
// "tessellar.cfg" points at a scripted server in the test: the test plays the
// server's side packet by packet and pumps the page's I/O in between.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "GamePages/Tessellar.h"
#include "OutputCapture.h"
#include "RunDirectory.h"
#include "server/ServerPackets.h"

class PageTest : public testing::Test {
protected:
  // Configuration sections added to the generated "tessellar.cfg" (the
  // "Server" and "Player" sections are always written).
  virtual std::string extraConfiguration() const { return ""; }
  // False: the test builds its pages itself.
  virtual bool pageInSetUp() const { return true; }
  // Rewrites "tessellar.cfg" with the given extra sections.
  void writeConfiguration(const std::string& extra);

  void SetUp() override;
  void TearDown() override;

  // Runs the page's pending I/O until the condition holds; fails the test
  // after a few seconds.
  bool pumpUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(10));
  void pressKey(OIS::KeyCode key);

  // Presses "8" and plays the server's side of the handshake and login.
  void connectAndLogIn();
  // The server's side of the handshake and login on the connection taken.
  void playLogIn();
  void acceptConnection();
  // The server's side closes the connection.
  void closeConnection();

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
  // Sends a packet whose effect shows and pumps until the page has handled
  // it: every packet sent before it has been handled then too.
  void sync();
  // True when the client sent nothing more after its pending I/O ran.
  bool clientIsQuiet();
  // A packet that makes the client flush its queue without answering.
  void nudge();

  // The packets the tests send most, built in one place.
  static TSPackets::SpawnPoint spawnPoint(std::int32_t x, std::int32_t y, std::int32_t z);
  static TSPackets::Prechunk prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load);

  std::unique_ptr<GamePages::Tessellar> m_page;
  OutputCapture* m_capture = nullptr;

private:
  void expectPacketId(unsigned char id);

  int m_syncs = 0;
  RunDirectory m_directory{"plugins.cfg", "ogre.cfg", "resources.cfg", "media"};
  std::filesystem::path m_previousDirectory;
  asio::io_context m_serverIo;
  asio::ip::tcp::acceptor m_acceptor{m_serverIo};
  asio::ip::tcp::socket m_socket{m_serverIo};
};

#endif
