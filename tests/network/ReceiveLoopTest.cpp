#include <functional>
#include <future>
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
    client.connect("127.0.0.1", server.port(), "Tester", "pw");
    thrown = runLoop(io);
    // The client's side closes here, as when the program ends.
    client.disconnect();
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
        session.client.send(ping);
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
    session.client.send(report);
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
    session.client.send(answer);
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

TEST(ReceiveLoop, AnswersKeepAliveAndPositionInTheClientsFieldOrder) {
  Session session;
  session.run([](ServerPeer& peer) {
    peer.send(Wire().i8(0x00).i32(7));
    EXPECT_EQ(peer.receive(5), Wire().i8(0x00).i32(7).bytes());
    // The server's order: x, stance, y, z.
    peer.send(Wire().i8(0x0D).f64(1).f64(2).f64(3).f64(4).f32(5.5f).f32(-6.25f).boolean(true));
    // The client's order: x, y, stance, z.
    const std::string answer =
        Wire().i8(0x0D).f64(1).f64(3).f64(2).f64(4).f32(5.5f).f32(-6.25f).boolean(true);
    EXPECT_EQ(peer.receive(answer.size()), answer);
  });
  EXPECT_EQ(session.out(),
            concat({"received pos and look packet: ", "x,y,z,stance = 1,3,4,2",
                    "yaw, pitch, on_ground5.5,-6.25,1", "answering with same packet"},
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
      {"after an ignored unknown entity",
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
    EXPECT_NE(describe(session.thrown).find(id), std::string::npos) << describe(session.thrown);
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
    EXPECT_NE(describe(session.thrown).find(test.error), std::string::npos);
    EXPECT_EQ(session.out(), Lines{"handle disconnect"});
  }
}

TEST(ReceiveLoop, ServerClosingBetweenPacketsEndsTheSessionQuietly) {
  Session session;
  session.run([](ServerPeer& peer) { peer.send(Wire().i8(0x03).string16("bye now")); });
  EXPECT_EQ(session.client.chat, Lines{"bye now"});
  EXPECT_EQ(describe(session.thrown), "");
  EXPECT_EQ(session.out(), concat(ClosedByServer, {"handle disconnect"}));
  EXPECT_EQ(session.capture.err(), Lines());
}

TEST(ReceiveLoop, KickClosesTheConnection) {
  struct Case {
    const char* name;
    std::string packet;
    bool answerKick;
    Lines out;
    Lines err;
  };
  const std::vector<Case> cases = {
      {"plain kick", Wire().i8(0xFF).string16("bye"), false,
       {"You have been kicked by the server: bye", "handle disconnect"},
       {"connection lost"}},
      {"kick answered by the handler", Wire().i8(0xFF).string16("bye"), true,
       {"You have been kicked by the server: bye", "handle disconnect",
        "send failed: Bad file descriptor", "handle disconnect"},
       {}},
      {"reason that cannot be allocated", Wire().i8(0xFF).i16(-1), false,
       {"disconnect crashed", "You have been kicked by the server: std::bad_alloc",
        "handle disconnect"},
       {"connection lost"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Session session;
    session.client.answerKick = test.answerKick;
    session.run([&](ServerPeer& peer) {
      peer.send(test.packet);
      peer.awaitEnd();
    });
    EXPECT_EQ(describe(session.thrown), "");
    // The last line comes from the test's own disconnect after the loop.
    EXPECT_EQ(session.out(), concat(test.out, {"handle disconnect"}));
    EXPECT_EQ(session.capture.err(), test.err);
    EXPECT_FALSE(session.client.isConnected());
  }
}
