#ifndef TEST_CLIENT_H
#define TEST_CLIENT_H

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "Network.h"

// A connection with a few handlers overridden the way the game page does:
// chat is recorded, entity packets about unknown entities raise
// Entities::InvalidEntity, and the kick may queue an answer first.
class TestClient : public Network {
public:
  using Network::Network;
  using Network::connectResolved;
  using Network::handle;

  void handle(const TSPackets::ChatMessage& packet) override;
  void handle(const TSPackets::EntityTeleport& packet) override;
  void handle(const TSPackets::Disconnect& packet) override;

  std::vector<std::string> chat;
  // Runs inside the chat handler, after the message is recorded.
  std::function<void()> onChat;
  bool answerKick = false;
};

// The bytes a server receives for the packet.
std::string bytesOf(const TSPackets::Packet& packet);

// Runs the loop until it has no more work; returns what it threw, if anything.
std::exception_ptr runLoop(asio::io_service& io);

// The text of what was thrown: what() of a standard exception, a thrown C
// string as it is, "" when nothing was thrown.
std::string describe(std::exception_ptr thrown);

// The lines that follow "sending handshake".
std::vector<std::string> afterHandShake(const std::vector<std::string>& lines);

// The lines that close a session whose server closed the connection between
// packets.
extern const std::vector<std::string> ClosedByServer;

#endif
