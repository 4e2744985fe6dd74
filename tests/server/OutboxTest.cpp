#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/Outbox.h"

using Server::Outbox;

// A mark's work comes with the bytes pushed before it and before the bytes
// pushed after it, however the writer's takes fall.
TEST(Outbox, AMarkSplitsTheBytesWhereItWasPushed) {
  Outbox outbox(1024);
  std::vector<std::string> done;
  ASSERT_TRUE(outbox.push("ab"));
  ASSERT_TRUE(outbox.pushMark([&] { done.push_back("first"); }));
  ASSERT_TRUE(outbox.pushMark([&] { done.push_back("second"); }));
  ASSERT_TRUE(outbox.push("cd"));
  ASSERT_TRUE(outbox.pushMark([&] { done.push_back("third"); }));
  ASSERT_TRUE(outbox.push("ef"));

  std::string written;
  for (;;) {
    Outbox::Taken taken = outbox.take(false);
    if (taken.state != Outbox::State::Packets)
      break;
    written += taken.bytes;
    if (taken.then) {
      taken.then();
      done.back() += " after " + written;
    }
  }
  EXPECT_EQ(written, "abcdef");
  EXPECT_EQ(done,
            (std::vector<std::string>{"first after ab", "second after ab", "third after abcd"}));
}

TEST(Outbox, AMarkWakesAWaitingWriterAndIsRefusedOnceClosed) {
  Outbox outbox(1024);
  bool done = false;
  ASSERT_TRUE(outbox.pushMark([&] { done = true; }));
  Outbox::Taken taken = outbox.take(true);
  EXPECT_EQ(taken.state, Outbox::State::Packets);
  EXPECT_TRUE(taken.bytes.empty());
  ASSERT_TRUE(taken.then);
  taken.then();
  EXPECT_TRUE(done);
  outbox.close();
  EXPECT_FALSE(outbox.pushMark([] {}));
  EXPECT_EQ(outbox.take(true).state, Outbox::State::Closed);
}
