#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <set>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "ScriptedServer.h"
#include "TestClient.h"
#include "Wire.h"

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

namespace {

const std::string HandShakeFromClient = Wire().i8(0x02).string16("Tester");

// Runs one session of a TestClient against the script; the server reads the
// client's handshake before the script starts.
struct Session {
  void run(const ScriptedServer::Script& script) {
    ScriptedServer server([&](ServerPeer& peer) {
      EXPECT_EQ(peer.receive(HandShakeFromClient.size()), HandShakeFromClient);
      script(peer);
    });
    client.session.connect("127.0.0.1", server.port(), "Tester", "pw");
    thrown = runLoop(io);
    // The client's side closes here, as when the program ends.
    client.session.disconnect();
    server.finish();
  }

  Lines out() const { return afterHandShake(capture.out()); }

  asio::io_service io;
  TestClient client{io};
  OutputCapture capture;
  std::exception_ptr thrown;
};

Lines concat(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

} // namespace

// Output queued between two incoming packets waits for the next id byte and
// is written before that packet is parsed.
TEST(ReceiveLoop, QueuedOutputLeavesAfterTheNextIdByteBeforeTheParse) {
  std::promise<void> queued;
  const std::string keepAlive = Wire().i8(0x00).i32(99);
  Session session;
  session.client.onChat = [&] {
    if (session.client.chat.size() == 1) {
      asio::post(session.io, [&] {
        TSPackets::Ping ping;
        ping.keepAliveId = 99;
        session.client.session.send(ping);
        queued.set_value();
      });
    }
  };
  session.run([&](ServerPeer& peer) {
    peer.send(Wire().i8(0x03).string16("first"));
    queued.get_future().wait();
    EXPECT_TRUE(peer.idle(100ms)) << "written before any id byte arrived";
    peer.send(Wire().i8(0x03));
    EXPECT_EQ(peer.receive(keepAlive.size()), keepAlive);
    peer.send(Wire().string16("second"));
    EXPECT_TRUE(peer.idle(100ms));
  });
  EXPECT_EQ(session.client.chat, (Lines{"first", "second"}));
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_EQ(session.out(), concat(ClosedByServer, {"handle disconnect"}));
}

// Reports that ticks keep queueing while the flush ahead of a parse runs do
// not hold the waiting packet back: it is handled after that one flush.
TEST(ReceiveLoop, OutputQueuedDuringTheFlushWaitsForTheNextOne) {
  const int tickLimit = 500;
  int ticks = 0;
  int ticksBeforeSecond = -1;
  std::promise<void> ticking;
  std::promise<void> second;
  Session session;
  // A tick: takes a moment and queues a report.
  std::function<void()> tick = [&] {
    std::this_thread::sleep_for(1ms);
    TSPackets::Ping report;
    report.keepAliveId = ticks;
    session.client.session.send(report);
    if (ticks == 0)
      ticking.set_value();
    if (++ticks < tickLimit && session.client.chat.size() < 2)
      asio::post(session.io, tick);
  };
  session.client.onChat = [&] {
    if (session.client.chat.size() == 1) {
      asio::post(session.io, tick);
    } else {
      ticksBeforeSecond = ticks;
      second.set_value();
    }
  };
  session.run([&](ServerPeer& peer) {
    peer.send(Wire().i8(0x03).string16("first"));
    ticking.get_future().wait();
    peer.send(Wire().i8(0x03).string16("second"));
    EXPECT_EQ(second.get_future().wait_for(10s), std::future_status::ready);
  });
  EXPECT_EQ(session.client.chat, (Lines{"first", "second"}));
  EXPECT_GE(ticksBeforeSecond, 1);
  EXPECT_LT(ticksBeforeSecond, tickLimit / 2);
}

// Packets that have all arrived are handled in one turn of the loop, before
// a tick waiting behind them, even when each handler queues an answer (it is
// written before the next parse): a client whose ticks take their whole
// 50 ms still keeps up with the server.
TEST(ReceiveLoop, PacketsThatHaveArrivedAreHandledInOneTurn) {
  std::size_t chatsBeforeTick = 0;
  std::promise<void> done;
  Session session;
  session.client.onChat = [&] {
    TSPackets::Ping answer;
    answer.keepAliveId = static_cast<int>(session.client.chat.size());
    session.client.session.send(answer);
    if (session.client.chat.size() == 1)
      asio::post(session.io, [&] { chatsBeforeTick = session.client.chat.size(); });
    if (session.client.chat.size() == 3)
      done.set_value();
  };
  session.run([&](ServerPeer& peer) {
    peer.send(Wire().i8(0x03).string16("a").i8(0x03).string16("b").i8(0x03).string16("c"));
    EXPECT_EQ(done.get_future().wait_for(10s), std::future_status::ready);
    const std::string answers = Wire().i8(0x00).i32(1).i8(0x00).i32(2).i8(0x00).i32(3);
    EXPECT_EQ(peer.receive(answers.size()), answers);
  });
  EXPECT_EQ(chatsBeforeTick, 3u);
}

// The position is echoed with the server's look, which the player takes,
// and keep-alives are answered once the server has placed the player.
TEST(ReceiveLoop, AnswersPositionAndKeepAliveInTheClientsFieldOrder) {
  Session session;
  session.run([](ServerPeer& peer) {
    // The server's order: x, stance, y, z.
    peer.send(Wire().i8(0x0D).f64(1).f64(2).f64(3).f64(4).f32(5.5f).f32(-6.25f).boolean(true));
    // The client's order: x, y, stance, z.
    const std::string answer =
        Wire().i8(0x0D).f64(1).f64(3).f64(2).f64(4).f32(5.5f).f32(-6.25f).boolean(true);
    EXPECT_EQ(peer.receive(answer.size()), answer);
    peer.send(Wire().i8(0x00).i32(7));
    EXPECT_EQ(peer.receive(5), Wire().i8(0x00).i32(7).bytes());
  });
  EXPECT_EQ(session.out(),
            concat({"received pos and look packet:", "x,y,z,stance = 1,3,4,2",
                    "yaw, pitch, on_ground = 5.5,-6.25,1", "answering with same packet",
                    "sending first playerpos&look"},
                   concat(ClosedByServer, {"handle disconnect"})));
}

struct UnknownIdCase {
  const char* name;
  std::string before;
  std::string id;
  const char* previousText;
  const char* idText;
};

TEST(ReceiveLoop, ReportsAnUnknownIdWithThePreviousOneAndEnds) {
  const std::vector<UnknownIdCase> cases = {
      {"first packet", "", Wire().i8(0x1B), "0", "1b"},
      {"after chat", Wire().i8(0x03).string16("hi"), Wire().i8(0x1B), "0x3", "1b"},
      {"after an entity packet",
       Wire().i8(0x22).i32(5).i32(1).i32(2).i32(3).i8(0).i8(0), Wire().i8(0x1B), "0x22", "1b"},
      {"id of a packet the client only sends", "", Wire().i8(0x0A), "0", "a"},
  };
  for (const UnknownIdCase& test : cases) {
    SCOPED_TRACE(test.name);
    Session session;
    session.run([&](ServerPeer& peer) {
      peer.send(test.before + test.id + "more");
      peer.awaitEnd();
    });
    const std::string id = std::string("0x") + test.idText;
    EXPECT_EQ(session.capture.err(),
              (Lines{"unknown message type received: " + id,
                     std::string("previous message type received: ") + test.previousText,
                     "An error occurred during message parsing: unknown message type received",
                     test.idText}));
    EXPECT_EQ(describe(session.thrown), "");
    const Lines out = session.out();
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(Lines(out.end() - 2, out.end()), (Lines{"handle disconnect", "handle disconnect"}));
    EXPECT_NE(session.client.session.lastSessionEnd().text.find("message " + id),
              std::string::npos)
        << session.client.session.lastSessionEnd().text;
    EXPECT_EQ(std::cerr.flags() & (std::ios::basefield | std::ios::showbase), std::ios::dec);
  }
}

TEST(ReceiveLoop, ReportsParseErrorsWithTheIdAndEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    bool closeAfter;
    const char* error;
    const char* idText;
  };
  const std::vector<Case> cases = {
      {"connection closed inside a packet", Wire().i8(0x0D).f64(1).i16(0), true,
       "read: End of file", "d"},
      {"invalid metadata",
       Wire().i8(0x18).i32(1).i8(50).i32(0).i32(0).i32(0).i8(0).i8(0).i8(0xE0), false,
       "unknown metadata byte x", "18"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Session session;
    session.run([&](ServerPeer& peer) {
      peer.send(test.bytes);
      if (!test.closeAfter) {
        peer.awaitEnd();
      }
    });
    EXPECT_EQ(session.capture.err(),
              (Lines{std::string("An error occurred during message parsing: ") + test.error,
                     test.idText}));
    EXPECT_EQ(describe(session.thrown), "");
    // The session's end, then the test's own disconnect.
    EXPECT_EQ(session.out(), (Lines{"handle disconnect", "handle disconnect"}));
    EXPECT_NE(session.client.session.lastSessionEnd().text.find(test.error), std::string::npos);
    EXPECT_EQ(session.client.ends.size(), 1u);
  }
}

TEST(ReceiveLoop, ServerClosingBetweenPacketsEndsTheSessionQuietly) {
  Session session;
  session.run([](ServerPeer& peer) { peer.send(Wire().i8(0x03).string16("bye now")); });
  EXPECT_EQ(session.client.chat, Lines{"bye now"});
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_EQ(session.out(), concat(ClosedByServer, {"handle disconnect"}));
  EXPECT_EQ(session.capture.err(), Lines());
  EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Lost);
  EXPECT_EQ(session.client.session.lastSessionEnd().text, "End of file");
}

TEST(ReceiveLoop, KickClosesTheConnection) {
  struct Case {
    const char* name;
    std::string packet;
    Lines out;
    Lines err;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"plain kick", Wire().i8(0xFF).string16("bye"), {"handle disconnect"},
       {"the server closed the connection: bye", "connection lost"}, "bye"},
      {"reason that cannot be allocated", Wire().i8(0xFF).i16(-1),
       {"disconnect crashed", "handle disconnect"},
       {"the server closed the connection: std::bad_alloc", "connection lost"},
       "std::bad_alloc"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Session session;
    session.run([&](ServerPeer& peer) {
      peer.send(test.packet);
      peer.awaitEnd();
    });
    EXPECT_EQ(describe(session.thrown), "");
    // The last line comes from the test's own disconnect after the loop.
    EXPECT_EQ(session.out(), concat(test.out, {"handle disconnect"}));
    EXPECT_EQ(session.capture.err(), test.err);
    EXPECT_FALSE(session.client.session.isConnected());
    EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Kicked);
    EXPECT_EQ(session.client.session.lastSessionEnd().text, test.reason);
    EXPECT_EQ(session.client.ends.size(), 1u);
  }
}

// Output a handler queued before it closed the session fails to leave, and
// says so; the session was told of its end once.
TEST(ReceiveLoop, OutputQueuedBeforeAHandlerClosesIsReported) {
  Session session;
  session.client.onChat = [&] {
    session.client.session.send(TSPackets::Ping());
    session.client.session.close();
  };
  session.run([](ServerPeer& peer) {
    peer.send(Wire().i8(0x03).string16("last words"));
    peer.awaitEnd();
  });
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_EQ(session.out(), (Lines{"handle disconnect", "send failed: Bad file descriptor",
                                  "handle disconnect", "handle disconnect"}));
  EXPECT_EQ(session.capture.err(), Lines());
  ASSERT_EQ(session.client.ends.size(), 1u);
  EXPECT_EQ(session.client.ends[0].kind, SessionEnd::Kind::Closed);
}

namespace {

// The game's tick beside the connection: a timer on the client's loop that
// counts while the client is connected.
class Ticker {
public:
  Ticker(asio::io_service& io, const ClientSession& client) : m_timer(io), m_client(client) {
    next();
  }

  // Waits until the loop has ticked `count` more times; false when it does
  // not within a few seconds.
  bool ticks(int count) const {
    const int target = m_count + count;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (m_count < target) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

private:
  void next() {
    m_timer.expires_after(5ms);
    m_timer.async_wait([this](const asio::error_code& error) {
      ++m_count;
      if (!error && m_client.isConnected()) {
        next();
      }
    });
  }

  asio::steady_timer m_timer;
  const ClientSession& m_client;
  std::atomic<int> m_count{0};
};

Wire columnOfZeros() {
  return Wire().i8(0x33).i32(-32).i16(0).i32(48).i8(15).i8(127).i8(15).zeros(81920);
}

std::vector<std::string> piecesOf(const std::string& bytes, std::size_t count) {
  std::vector<std::string> pieces;
  const std::size_t size = (bytes.size() + count - 1) / count;
  for (std::size_t start = 0; start < bytes.size(); start += size) {
    pieces.push_back(bytes.substr(start, size));
  }
  return pieces;
}

} // namespace

// A packet is parsed once all its bytes are there: while it arrives, the
// loop goes on with everything else.
TEST(ReceiveLoop, TicksGoOnWhileAPacketArrivesInPieces) {
  const std::string chat = Wire().i8(0x03).string16("slowly");
  Session session;
  const Ticker ticker(session.io, session.client.session);
  session.run([&](ServerPeer& peer) {
    for (const std::string& piece :
         {chat.substr(0, 1), chat.substr(1, 1), chat.substr(2, 5), chat.substr(7)}) {
      peer.send(piece);
      EXPECT_TRUE(ticker.ticks(3)) << "no tick after " << piece.size() << " more bytes";
    }
    for (const std::string& piece : piecesOf(columnOfZeros(), 5)) {
      EXPECT_TRUE(ticker.ticks(3));
      peer.send(piece);
    }
  });
  EXPECT_EQ(session.client.chat, Lines{"slowly"});
  EXPECT_EQ(session.out(), concat({"received MapChunk: -32, 0, 48 of size: 15, 127, 15"},
                                  concat(ClosedByServer, {"handle disconnect"})));
}

// The stall clock runs per packet: a slow stream of packets that each
// complete in time goes on; a packet that stops half-way ends the session.
TEST(ReceiveLoop, APacketThatStopsHalfWayEndsTheSessionAfterTheStallTime) {
  const std::string chat = Wire().i8(0x03).string16("in time");
  Session session;
  session.client.session.setStallTimeout(400ms);
  std::chrono::steady_clock::time_point stopped;
  session.run([&](ServerPeer& peer) {
    for (int packet = 0; packet < 2; ++packet) {
      peer.send(chat.substr(0, 4));
      std::this_thread::sleep_for(250ms);
      peer.send(chat.substr(4));
    }
    peer.send(chat.substr(0, 4));
    stopped = std::chrono::steady_clock::now();
    peer.awaitEnd();
  });
  const auto waited = std::chrono::steady_clock::now() - stopped;
  EXPECT_EQ(session.client.chat, (Lines{"in time", "in time"}));
  EXPECT_EQ(session.capture.err(),
            (Lines{"connection stalled: message 0x3 incomplete after 0.4 s", "connection lost"}));
  EXPECT_EQ(session.out(), (Lines{"handle disconnect", "handle disconnect"}));
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_GE(waited, 400ms);
  EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Stalled);
}

// One incomplete packet may hold only so much: what would take more is
// refused as soon as it says so, with the report that names the id.
TEST(ReceiveLoop, PacketsLargerThanAnyPacketMayBeAreRefused) {
  std::string endlessMetadata = Wire().i8(0x18).i32(1).i8(50).i32(0).i32(0).i32(0).i8(0).i8(0);
  while (endlessMetadata.size() <= ReceiveBuffer::MaxPacketBytes + 64 * 1024) {
    endlessMetadata += Wire{0x00, 0x01};
  }
  struct Case {
    const char* name;
    std::string bytes;
    std::string error;
    const char* idText;
  };
  const std::vector<Case> cases = {
      {"explosion of ten million records",
       Wire().i8(0x3C).i32(0).i8(0).i32(0).f32(1).i32(10000000),
       "message of more than 6291456 bytes", "3c"},
      {"map chunk with a block longer than its column can take",
       Wire().i8(0x33).i32(0).i16(0).i32(0).i8(15).i8(127).i8(15).i32(100000000),
       "compressed block of 100000000 bytes, more than the 82982 that inflate to at most 81920",
       "33"},
      {"metadata without end", endlessMetadata, "message of more than 6291456 bytes", "18"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Session session;
    session.run([&](ServerPeer& peer) {
      peer.sendWhileOpen(test.bytes);
      peer.awaitEnd();
    });
    EXPECT_EQ(session.capture.err(),
              (Lines{"An error occurred during message parsing: " + test.error, test.idText}));
    EXPECT_EQ(describe(session.thrown), "");
    EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Failed);
    EXPECT_NE(session.client.session.lastSessionEnd().text.find(test.error), std::string::npos);
  }
}

// The largest box a map chunk can describe, with a payload that does not
// compress, still fits.
TEST(ReceiveLoop, TheLargestMapChunkIsTaken) {
  std::string payload(5 * 1024 * 1024, '\0');
  std::uint32_t state = 12345;
  for (char& byte : payload) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  const std::string chunk =
      Wire().i8(0x33).i32(0).i16(0).i32(0).i8(127).i8(127).i8(127).compressed(payload);
  Session session;
  session.run([&](ServerPeer& peer) { peer.send(chunk); });
  EXPECT_EQ(session.out(), concat({"received MapChunk: 0, 0, 0 of size: 127, 127, 127"},
                                  concat(ClosedByServer, {"handle disconnect"})));
}

// The flush ahead of a parse belongs to the receive side: its failure reads
// as a receive error.
TEST(ReceiveLoop, FailedFlushAheadOfAParseIsAReceiveError) {
  std::promise<void> queued;
  Session session;
  session.client.onChat = [&] {
    asio::post(session.io, [&] {
      // More than the kernel's buffers take (about 4 MB with Debian's
      // settings), less than the output limit.
      TSPackets::Disconnect large;
      large.reason.assign(32767, 'x');
      for (int i = 0; i < 112; ++i) {
        session.client.session.send(large);
      }
      queued.set_value();
    });
  };
  session.run([&](ServerPeer& peer) {
    peer.send(Wire().i8(0x03).string16("fill"));
    queued.get_future().wait();
    peer.send(Wire{0x03});
    std::this_thread::sleep_for(200ms);
    peer.reset();
  });
  const Lines out = session.out();
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.front().rfind("receive error: ", 0), 0u) << out.front();
  EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Lost);
}

// The protocol's text errors end the session with the same report as any
// other fault.
TEST(ReceiveLoop, TextErrorsEndTheSessionWithTheReport) {
  Session session;
  session.run([](ServerPeer& peer) {
    peer.send(Wire().i8(0x07).i32(1).i32(2).i8(2));
    peer.awaitEnd();
  });
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_EQ(session.capture.err(),
            (Lines{"An error occurred during message parsing: invalid bool received", "7"}));
  EXPECT_EQ(session.client.session.lastSessionEnd().kind, SessionEnd::Kind::Failed);
  EXPECT_EQ(session.client.session.lastSessionEnd().text,
            "the connection to the server ended on an error in message 0x7: "
            "invalid bool received");
}

// Every id outside the catalogue's dispatch table takes the unknown path.
TEST(ReceiveLoop, EveryIdOutsideTheDispatchTableIsUnknown) {
  std::set<int> unknown;
  for (int id = 0; id < 256; ++id) {
    unknown.insert(id);
  }
#define TS_UNKNOWN_Dispatched(packetId) unknown.erase(packetId);
#define TS_UNKNOWN_Unknown(packetId)
#define TS_UNKNOWN(packetId, Class, Read, Write, Dispatch, fields) TS_UNKNOWN_##Dispatch(packetId)
  TS_PACKET_CATALOGUE(TS_UNKNOWN)
#undef TS_UNKNOWN
#undef TS_UNKNOWN_Unknown
#undef TS_UNKNOWN_Dispatched
  EXPECT_EQ(unknown.count(0x0B), 0u);
  for (int id : unknown) {
    SCOPED_TRACE(id);
    Session session;
    session.run([&](ServerPeer& peer) {
      peer.send(Wire().i8(id).i32(0));
      peer.awaitEnd();
    });
    const Lines err = session.capture.err();
    ASSERT_EQ(err.size(), 4u);
    EXPECT_EQ(err[2], "An error occurred during message parsing: unknown message type received");
  }
}
