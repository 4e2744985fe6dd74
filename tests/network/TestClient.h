#ifndef TEST_CLIENT_H
#define TEST_CLIENT_H

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostLookup.h"
#include "session/ClientSession.h"

// A client session with chat recorded where the game page would show it,
// and the session's ends recorded as the page is told them.
class TestClient {
public:
  explicit TestClient(asio::io_service& io, std::unique_ptr<HostLookup> lookup = nullptr);

  ClientSession session;
  std::vector<std::string> chat;
  // Runs inside the chat handler, after the message is recorded.
  std::function<void()> onChat;
  std::vector<SessionEnd> ends;
};

// A lookup that finds the given addresses for any name, on the loop.
class FixedLookup : public HostLookup {
public:
  FixedLookup(asio::io_service& io, std::vector<asio::ip::tcp::endpoint> endpoints)
      : m_io(io), m_endpoints(std::move(endpoints)) {}

  void start(const std::string& host, const std::string& port, Done done) override;
  void cancel() override {}

private:
  asio::io_service& m_io;
  std::vector<asio::ip::tcp::endpoint> m_endpoints;
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
