#include <future>
#include <thread>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "ScriptedServer.h"
#include "TestClient.h"
#include "Wire.h"

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using tcp = asio::ip::tcp;

namespace {

// A port on 127.0.0.1 that is bound but not listening: connections to it are
// refused.
struct RefusingPort {
  RefusingPort() {
    socket.open(tcp::v4());
    socket.bind({asio::ip::address_v4::loopback(), 0});
  }
  unsigned short port() const { return socket.local_endpoint().port(); }

  asio::io_service io;
  tcp::socket socket{io};
};

std::string text(const tcp::endpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

// The lines of a connection attempt on each address in turn, all refused.
Lines allRefused(const std::vector<tcp::endpoint>& endpoints) {
  Lines lines;
  for (std::size_t i = 0; i < endpoints.size(); ++i) {
    if (i > 0) {
      lines.push_back("connection failed -- retrying");
    }
    lines.push_back("attempting to connect to: " + text(endpoints[i]));
    lines.push_back("handle_connect");
  }
  lines.push_back("connection failed: Connection refused");
  lines.push_back("handle disconnect");
  return lines;
}

TSPackets::Ping ping(int id) {
  TSPackets::Ping packet;
  packet.keepAliveId = id;
  return packet;
}

} // namespace

TEST(Connect, LogsTheSequenceAndSendsTheHandShakeFirst) {
  const std::string handShake = Wire().i8(0x02).string16("Tester");
  ScriptedServer server([&](ServerPeer& peer) {
    EXPECT_EQ(peer.receive(handShake.size()), handShake);
    // Queued while connecting: after the handshake. Queued before: dropped.
    EXPECT_EQ(peer.receive(5), Wire().i8(0x00).i32(2).bytes());
    EXPECT_TRUE(peer.idle(50ms));
  });
  asio::io_service io;
  TestClient client(io);
  OutputCapture capture;
  client.session.send(ping(1));
  client.session.connect("127.0.0.1", server.port(), "Tester", "pw");
  EXPECT_TRUE(client.session.isConnected());
  client.session.send(ping(2));
  EXPECT_EQ(describe(runLoop(io)), "");
  server.finish();

  const std::string address = "127.0.0.1:" + server.port();
  Lines expected = {"attempting to connect to: " + address, "handle_connect",
                    "connected to: " + address, "sending handshake"};
  expected.insert(expected.end(), ClosedByServer.begin(), ClosedByServer.end());
  EXPECT_EQ(capture.out(), expected);
  EXPECT_EQ(capture.err(), Lines());
  EXPECT_FALSE(client.session.isConnected());
  ASSERT_EQ(client.ends.size(), 1u);
  EXPECT_EQ(client.ends[0].kind, SessionEnd::Kind::Lost);
}

TEST(Connect, TriesEachResolvedAddressOnceInOrder) {
  RefusingPort first, third;
  const std::vector<tcp::endpoint> endpoints = {
      {asio::ip::address_v4::loopback(), first.port()},
      {asio::ip::address_v6::loopback(), first.port()},
      {asio::ip::address_v4::loopback(), third.port()}};
  asio::io_service io;
  TestClient client(io, std::make_unique<FixedLookup>(io, endpoints));
  OutputCapture capture;
  client.session.connect("several", "port", "Tester", "pw");
  EXPECT_EQ(describe(runLoop(io)), "");
  EXPECT_EQ(capture.out(), allRefused(endpoints));
  EXPECT_FALSE(client.session.isConnected());
  EXPECT_EQ(client.session.lastSessionEnd().kind, SessionEnd::Kind::ConnectFailed);
  EXPECT_EQ(client.session.lastSessionEnd().text, "Connection refused");
  ASSERT_EQ(client.ends.size(), 1u);
  EXPECT_EQ(client.ends[0].kind, SessionEnd::Kind::ConnectFailed);
}

// Whatever "localhost" resolves to here, each address is tried once.
TEST(Connect, NameWithNothingListeningEndsDisconnected) {
  RefusingPort refusing;
  const std::string port = std::to_string(refusing.port());
  asio::io_service io;
  std::vector<tcp::endpoint> endpoints;
  for (const auto& entry : tcp::resolver(io).resolve("localhost", port,
                                                     tcp::resolver::address_configured)) {
    endpoints.push_back(entry.endpoint());
  }
  TestClient client(io);
  OutputCapture capture;
  client.session.connect("localhost", port, "Tester", "pw");
  EXPECT_EQ(describe(runLoop(io)), "");
  EXPECT_EQ(capture.out(), allRefused(endpoints));
}

// The lookup runs beside the loop; its failure ends the session with one
// line and is told once.
TEST(Connect, LookupFailureEndsTheSessionWithOneLine) {
  asio::io_service io;
  TestClient client(io);
  OutputCapture capture;
  client.session.connect("127.0.0.1", "no-such-service-name", "Tester", "pw");
  EXPECT_TRUE(client.session.isConnected()) << "looking the host up";
  EXPECT_EQ(describe(runLoop(io)), "");
  EXPECT_EQ(capture.out(), Lines());
  EXPECT_EQ(capture.err(),
            Lines{"cannot connect to 127.0.0.1:no-such-service-name: Service not found"});
  EXPECT_FALSE(client.session.isConnected());
  ASSERT_EQ(client.ends.size(), 1u);
  EXPECT_EQ(client.ends[0].kind, SessionEnd::Kind::NotFound);
  EXPECT_EQ(client.ends[0].text, "Service not found");
}

// Without a connection there is nobody to say goodbye to, and no session to
// tell of its end.
TEST(Connect, DisconnectWhileClosedOnlyLogs) {
  asio::io_service io;
  TestClient client(io);
  OutputCapture capture;
  client.session.disconnect();
  EXPECT_EQ(capture.out(), Lines{"handle disconnect"});
  EXPECT_EQ(capture.err(), Lines());
  EXPECT_TRUE(client.ends.empty());
}

TEST(Connect, GoodbyeGivesUpAtItsTimeLimit) {
  std::promise<void> goodbyeEnded;
  ScriptedServer server([&](ServerPeer& peer) {
    peer.receive(Wire().i8(0x02).string16("Tester").bytes().size());
    peer.send(Wire().i8(0x03).string16("hi"));
    // Reads nothing more until the client has given up.
    goodbyeEnded.get_future().wait();
  });
  asio::io_service io;
  TestClient client(io);
  client.onChat = [&] {
    asio::post(io, [&] {
      // More than the kernel's buffers take (about 4 MB with Debian's
      // settings), less than the output limit.
      TSPackets::Disconnect large;
      large.reason.assign(32767, 'x');
      for (int i = 0; i < 112; ++i) {
        client.session.send(large);
      }
      client.session.disconnect();
      goodbyeEnded.set_value();
    });
  };
  OutputCapture capture;
  client.session.connect("127.0.0.1", server.port(), "Tester", "pw");
  EXPECT_EQ(describe(runLoop(io)), "");
  server.finish();
  EXPECT_EQ(afterHandShake(capture.out()),
            (Lines{"send failed: Connection timed out", "handle disconnect"}));
  EXPECT_EQ(capture.err(),
            (Lines{"could not send the disconnect message in time", "connection lost"}));
}

// The disconnect key's goodbye leaves after everything queued before it,
// also after what a flush under way still had to write, and never in the
// middle of an earlier packet. The flush under way then finds the
// connection closed, as a read would.
TEST(Connect, TheGoodbyeLeavesAfterEverythingQueued) {
  struct Case {
    const char* name;
    int largePackets;
    Lines out;
    Lines err;
  };
  const std::vector<Case> cases = {
      {"nothing else queued", 0, {"handle disconnect"}, {"connection lost"}},
      {"a flush under way", 64, {"handle disconnect"}, {"connection lost"}},
  };
  TSPackets::Disconnect large;
  large.reason.assign(32767, 'x');
  TSPackets::Disconnect goodbye;
  goodbye.reason = "disconnect ferrowick";
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::string expected;
    for (int i = 0; i < test.largePackets; ++i) {
      expected += bytesOf(large);
    }
    expected += bytesOf(goodbye);
    std::string received;
    ScriptedServer server([&](ServerPeer& peer) {
      peer.receive(Wire().i8(0x02).string16("Tester").bytes().size());
      peer.send(Wire().i8(0x03).string16("hi"));
      // A flush under way fills the connection and waits.
      std::this_thread::sleep_for(300ms);
      received = peer.receiveUntilEnd();
    });
    asio::io_service io;
    TestClient client(io);
    client.onChat = [&] {
      for (int i = 0; i < test.largePackets; ++i) {
        client.session.send(large);
      }
      asio::post(io, [&] { client.session.disconnect(); });
    };
    OutputCapture capture;
    client.session.connect("127.0.0.1", server.port(), "Tester", "pw");
    EXPECT_EQ(describe(runLoop(io)), "");
    server.finish();
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected) << "the goodbye was spliced into the earlier packets";
    EXPECT_EQ(afterHandShake(capture.out()), test.out);
    EXPECT_EQ(capture.err(), test.err);
    EXPECT_EQ(client.session.lastSessionEnd().kind, SessionEnd::Kind::Closed);
    ASSERT_EQ(client.ends.size(), 1u);
    EXPECT_EQ(client.ends[0].kind, SessionEnd::Kind::Closed);
  }
}
