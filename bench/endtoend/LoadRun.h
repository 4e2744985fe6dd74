#ifndef BENCH_ENDTOEND_LOAD_RUN_H
#define BENCH_ENDTOEND_LOAD_RUN_H

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TimingLines.h"

// How long ticks and frames are watched after the last mesh of the load.
constexpr int AfterLoadSeconds = 10;

// What one run of the real client against the local server shows: from the
// connect key until some seconds after the last chunk mesh of the load.
struct LoadRecord {
  int viewRadius = 0;
  std::size_t columns = 0;
  Clock::time_point login;
  // Ticks and frames after the Login, in order.
  std::vector<TickRecord> ticks;
  std::vector<FrameRecord> frames;
  // Set when the load ended: no mesh drawn for the quiet time after at least
  // one mesh per column.
  std::optional<Clock::time_point> lastMesh;
  std::string failure;
  long emptyResidentKiB = -1;
  long peakResidentKiB = -1;
  long finalResidentKiB = -1;
  // Processor time from the Login to the end of the load.
  double clientSeconds = 0;
  std::map<std::string, double> clientThreadSeconds;
  std::size_t slowTickNotices = 0;
  std::optional<int> clientExit;
};

// A slow link between the server and the client: the server's bytes go on
// in segments of at most segmentBytes, one every interval.
struct SlowLink {
  std::size_t segmentBytes;
  std::chrono::milliseconds interval;
};

// The client's distances of the mesh levels, in columns.
struct MeshDistances {
  std::optional<int> detail;
  std::optional<int> coarse;
};

// Starts the local server and the client for `viewRadius` on the current
// display, connects, waits for the world, quits. Throws std::runtime_error
// when a step cannot happen at all (a program that does not start, a window
// that never shows, no Login); a load that does not end in time comes back
// with `lastMesh` unset and `failure` saying why. `distances` are the
// client's "DetailDistance" and "CoarseDistance"; none leaves a default.
// With a slow link, the client connects through it.
LoadRecord runLoad(int viewRadius, const MeshDistances& distances = {},
                   std::optional<SlowLink> slowLink = std::nullopt);

#endif
