// A large packet that a server sends in pieces, against the connection
// itself: its tries together read a few times the packet at most, and one
// whose last bytes came while its next try waits for more is taken as soon
// as the bytes pause or the server closes.

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Connection.h"
#include "OutputCapture.h"
#include "ScriptedServer.h"
#include "TestClient.h"
#include "Wire.h"
#include "session/PacketDispatch.h"

using namespace std::chrono_literals;

namespace {

// The connection under the session's dispatch, counting the tries to parse
// the waiting packet and the bytes they read. The counts are read by the
// server's thread.
class CountingClient final : private Connection::Handler {
public:
  explicit CountingClient(asio::io_service& io) : m_connection(io, *this) {
    m_dispatch.on<TSPackets::EntityMetadata>(
        [this](const TSPackets::EntityMetadata& packet) { entries = packet.metadata.size(); });
    m_dispatch.on<TSPackets::ChatMessage>(
        [this](const TSPackets::ChatMessage& packet) { chat = packet.message; });
    m_connection.setStallTimeout(20s);
  }

  void connect(const std::string& port) { m_connection.connect("127.0.0.1", port); }

  std::atomic<std::size_t> tries{0};
  std::atomic<std::size_t> examined{0};
  std::atomic<std::size_t> entries{0};
  std::string chat;
  SessionEnd end;

private:
  void connected() override {}
  void receive(ByteReader& reader, const std::function<void()>& whole) override {
    ++tries;
    struct Tally {
      CountingClient& client;
      ByteReader& reader;
      ~Tally() { client.examined += reader.consumed(); }
    } tally{*this, reader};
    m_dispatch.receive(reader, whole);
  }
  void ended(const SessionEnd& sessionEnd) override { end = sessionEnd; }

  PacketDispatch m_dispatch;
  Connection m_connection;
};

std::string metadataPacket(std::size_t listBytes) {
  Wire packet = Wire().i8(0x28).i32(9);
  for (std::size_t entry = 0; entry < listBytes / 2; ++entry) {
    packet.i8(static_cast<int>(entry % 32)).i8(static_cast<int>(entry));
  }
  return packet.i8(0x7F);
}

// Waits until the condition holds; throws after a few seconds, which fails
// the server's script.
void awaitClient(const std::function<bool()>& condition, const char* what) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error(std::string("the client did not ") + what);
    std::this_thread::sleep_for(1ms);
  }
}

} // namespace

// 256 bytes every millisecond, then a chat line. However the pieces bunch up
// on their way, the tries stay few: a try of the whole packet at every
// piece would read hundreds of times the packet.
TEST(TrickledPacket, TriesTogetherReadAFewTimesThePacket) {
  const std::string packet = metadataPacket(200000);
  const std::string after = Wire().i8(0x03).string16("after");
  asio::io_service io;
  CountingClient client(io);
  OutputCapture capture;
  ScriptedServer server([&](ServerPeer& peer) {
    peer.noDelay();
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t sent = 0; sent < packet.size(); sent += 256) {
      std::this_thread::sleep_until(start + sent / 256 * 1ms);
      peer.send(packet.substr(sent, 256));
    }
    peer.send(after);
  });
  client.connect(server.port());
  EXPECT_EQ(describe(runLoop(io)), "");
  server.finish();
  EXPECT_EQ(client.entries, 100000u);
  EXPECT_EQ(client.chat, "after");
  EXPECT_LE(client.examined, 4 * packet.size() + 64 * 1024) << client.tries << " tries";
  EXPECT_EQ(client.end.kind, SessionEnd::Kind::Lost);
  EXPECT_EQ(client.end.text, "End of file");
}

// The first part (one segment on loopback) is tried whole, which spaces the
// next try out beyond the whole packet; the rest follows, and then the
// server waits, or closes.
TEST(TrickledPacket, PacketWholeBeforeItsNextTryIsTakenWhenTheBytesStop) {
  struct Case {
    const char* name;
    bool closeAfter;
  };
  const std::vector<Case> cases = {{"the server waits", false}, {"the server closes", true}};
  const std::string packet = metadataPacket(150000);
  const std::size_t firstPart = 60000;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    asio::io_service io;
    CountingClient client(io);
    OutputCapture capture;
    ScriptedServer server([&](ServerPeer& peer) {
      peer.send(packet.substr(0, firstPart));
      awaitClient([&] { return client.examined >= firstPart - 100; }, "try the first part");
      peer.send(packet.substr(firstPart));
      if (!test.closeAfter)
        awaitClient([&] { return client.entries > 0; }, "take the packet");
    });
    client.connect(server.port());
    EXPECT_EQ(describe(runLoop(io)), "");
    server.finish();
    EXPECT_EQ(client.entries, 75000u);
    EXPECT_EQ(client.end.kind, SessionEnd::Kind::Lost);
    EXPECT_EQ(client.end.text, "End of file");
    EXPECT_EQ(capture.err(), std::vector<std::string>());
  }
}
