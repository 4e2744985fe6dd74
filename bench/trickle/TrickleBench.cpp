// A server that trickles one large metadata packet (about 6 MB of one-byte
// entries, 256 bytes every millisecond by default) to the client's
// connection on loopback. Prints the main thread's parse time (its processor
// time) summed over every attempt, next to one parse of the whole packet:
// the attempt that took it in the session, and a parse from memory (the
// median of several, its bytes and the allocator warm). The goal is a total
// of at most three times one parse.
//
// Usage: trickle_bench [LIST-BYTES [SEGMENT-BYTES [PERIOD-MICROSECONDS]]]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "ByteReader.h"
#include "MetadataPacket.h"
#include "ThreadClock.h"
#include "TimedSession.h"
#include "Trickler.h"

namespace {

constexpr int Trials = 5;
constexpr double Goal = 3.0;
// Long enough for the slowest client to take the whole packet.
const std::chrono::milliseconds StallTimeout(600000);

template <class Duration> double milliseconds(Duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

std::size_t argument(int argc, char** argv, int index, std::size_t fallback) {
  return argc > index ? std::stoul(argv[index]) : fallback;
}

// One parse of the whole packet through the session's dispatch, from
// memory: the median of several.
double wholeParse(const std::string& packet) {
  asio::io_service io;
  TimedSession session(io);
  session.dispatch().on<TSPackets::EntityMetadata>([](const TSPackets::EntityMetadata&) {});
  std::vector<double> times;
  for (int trial = 0; trial < Trials; ++trial) {
    ByteReader reader(reinterpret_cast<const unsigned char*>(packet.data()), packet.size());
    const auto start = ThreadClock::now();
    session.dispatch().receive(reader, [] {});
    times.push_back(milliseconds(ThreadClock::now() - start));
    if (reader.consumed() != packet.size())
      throw std::runtime_error("the packet was not read whole");
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int run(int argc, char** argv) {
  const std::size_t listBytes = argument(argc, argv, 1, 6000000);
  const std::size_t segment = argument(argc, argv, 2, 256);
  const std::chrono::microseconds period(argument(argc, argv, 3, 1000));
  const std::string packet = metadataPacket(listBytes);

  std::size_t entries = 0;
  asio::io_service io;
  TimedSession session(io);
  session.dispatch().on<TSPackets::EntityMetadata>(
      [&](const TSPackets::EntityMetadata& metadata) { entries = metadata.metadata.size(); });
  Trickler server(packet, segment, period);
  const auto start = std::chrono::steady_clock::now();
  session.run(server.port(), StallTimeout);
  const double elapsed = milliseconds(std::chrono::steady_clock::now() - start);
  const double sending = milliseconds(server.finish());
  if (entries != listBytes / 2)
    throw std::runtime_error("the packet was not handled; the session ended: " +
                             session.end().text);

  const double total = milliseconds(session.parseTime());
  const double lastAttempt = milliseconds(session.wholeAttemptTime());
  const double fromMemory = wholeParse(packet);
  std::printf("packet: EntityMetadata of %zu bytes, %zu entries, in %zu-byte segments every "
              "%lld us\n",
              packet.size(), entries, segment, static_cast<long long>(period.count()));
  std::printf("sent in %.0f ms; handled after %.0f ms\n", sending, elapsed);
  std::printf("parse attempts: %zu, bytes examined: %zu (%.2f times the packet)\n",
              session.attempts(), session.bytesExamined(),
              static_cast<double>(session.bytesExamined()) / static_cast<double>(packet.size()));
  std::printf("main thread's parse time, all attempts:    %.1f ms\n", total);
  std::printf("one parse of the whole packet, in session: %.1f ms (ratio %.2f)\n", lastAttempt,
              total / lastAttempt);
  std::printf("one parse of the whole packet, in memory:  %.1f ms (ratio %.2f)\n", fromMemory,
              total / fromMemory);
  std::printf("goal: a ratio of at most %.1f\n", Goal);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "trickle_bench: %s\n", error.what());
    return 1;
  }
}
