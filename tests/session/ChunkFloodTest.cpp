// A server that floods the client binary with chunks it announces far from
// the player: 250,000 Prechunks of ten bytes each. The client turns them
// away with two lines, its memory stays where it was and its ticks go on.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "ClientRun.h"
#include "SessionServer.h"
#include "TextFile.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

const int Flood = 250000;

void chat(SessionServer& server, const std::string& text) {
  TSPackets::ChatMessage message;
  message.message = text;
  server.send(message);
}

// The player on the ground of 3 x 3 columns; once the test says so, the
// flood in one write.
void floodWithFarChunks(SessionServer& server, const std::atomic<bool>& go) {
  server.placePlayerAboveGround();
  for (int x = -1; x <= 1; ++x)
    for (int z = -1; z <= 1; ++z)
      server.sendColumn(x, z);
  chat(server, "placed");
  while (!go)
    std::this_thread::sleep_for(10ms);
  std::string flood;
  for (int i = 0; i < Flood; ++i) {
    TSPackets::Prechunk far;
    far.chunkX = 1000 + i % 500;
    far.chunkZ = 1000 + i / 500;
    far.mode = 1;
    flood += ServerPackets::bytes(far);
  }
  server.sendBytes(flood);
  chat(server, "flooded");
}

#if defined(__SANITIZE_ADDRESS__)
const bool UnderAddressSanitizer = true;
#else
const bool UnderAddressSanitizer = false;
#endif

// The client's resident memory in KiB, -1 when it cannot be read.
long residentKiB(const ClientProcess& client) {
  std::istringstream status(readTextFile("/proc/" + std::to_string(client.pid()) + "/status"));
  std::string line;
  long kib = -1;
  while (std::getline(status, line))
    if (std::sscanf(line.c_str(), "VmRSS: %ld", &kib) == 1)
      return kib;
  return -1;
}

// How many chunks the client says it ignored: one for each line about a
// chunk, and N for each "ignored N more chunks".
std::size_t ignoredChunks(const std::string& output) {
  std::istringstream lines(output);
  std::string line;
  std::size_t count = 0;
  while (std::getline(lines, line)) {
    std::size_t more = 0;
    if (line.rfind("ignored chunk ", 0) == 0)
      ++count;
    else if (std::sscanf(line.c_str(), "ignored %zu more chunks", &more) == 1)
      count += more;
  }
  return count;
}

// The chunk meshes the client's ticks have drawn so far.
long meshesDrawn(const std::string& output) {
  std::istringstream lines(output);
  std::string line;
  long meshes = 0;
  while (std::getline(lines, line)) {
    long tick = 0, took = 0, late = 0, drew = 0;
    if (std::sscanf(line.c_str(), "tick %ld took %ld us, started %ld us late, drew %ld", &tick,
                    &took, &late, &drew) == 4)
      meshes += drew;
  }
  return meshes;
}

bool says(const ClientProcess& client, const std::string& text) {
  return client.output().find(text) != std::string::npos;
}

TEST(ChunkFlood, FarChunksAreTurnedAwayAndTheClientGoesOn) {
  std::atomic<bool> go{false};
  SessionServer server([&](SessionServer& s) { floodWithFarChunks(s, go); });
  ClientProcess client(sessionConfig(server.port()));
  TickWatch ticks(client);
  ASSERT_TRUE(startAndConnect(client)) << client.errors();
  // The flood comes once the world around the player is drawn, so that the
  // memory before it is that of the world the client keeps.
  const bool drawn = waitFor([&] { return meshesDrawn(client.output()) >= 9; }, 60s);
  go = true;
  ASSERT_TRUE(drawn) << server.failure() << "\n" << client.errors();
  const long before = residentKiB(client);
  const auto flooded = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitFor([&] { return says(client, "Chat: flooded"); }, 120s))
      << server.failure() << "\n" << client.errors();
  const long after = residentKiB(client);

  // The burst's line comes at once, its summary once it is over.
  EXPECT_TRUE(waitFor([&] { return ignoredChunks(client.output()) == std::size_t(Flood); }, 30s))
      << ignoredChunks(client.output()) << " chunks said to be ignored";
  EXPECT_TRUE(says(client, "ignored chunk 1000, 1000 beyond 36 columns of the player\n"));
  ticks.update();
  const std::size_t ticked = ticks.count();
  EXPECT_TRUE(waitFor(
      [&] {
        ticks.update();
        return ticks.count() >= ticked + 20;
      },
      30s));
  EXPECT_LT(ticks.longestPauseSince(flooded), 5s);
  // Held, the flood's chunks took 22 MiB more; the flood's bytes on their
  // way through the connection take a few MiB. AddressSanitizer holds freed
  // memory back for a while: there resident memory says nothing of this.
  if (!UnderAddressSanitizer) {
    EXPECT_LT(after - before, 12 * 1024)
        << before << " KiB before the flood, " << after << " after";
  }

  std::chrono::milliseconds took;
  EXPECT_EQ(quitWithKey(client, took), 0) << client.errors();
  EXPECT_EQ(server.failure(), "");
}

} // namespace
