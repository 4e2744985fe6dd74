#ifndef BENCH_ENDTOEND_TIMING_LINES_H
#define BENCH_ENDTOEND_TIMING_LINES_H

// The client's "Timings=yes" lines: one per tick and one per frame.

#include <optional>

#include "TimedLines.h"

// "tick N took T us, started L us late, drew M chunk meshes, moved the
// player in P us"
struct TickRecord {
  // When the line was read: the tick had ended.
  Clock::time_point time;
  long number = 0;
  long micros = 0;
  // How long after its time on the schedule the tick started.
  long lateMicros = 0;
  long meshes = 0;
  // The player's movement and aim, within the tick.
  long moveMicros = 0;
};

// "frame N took T us[, culled C of A chunks, showed S of B sections],
// rendered X triangles"
struct FrameRecord {
  Clock::time_point time;
  long number = 0;
  long micros = 0;
  // Chunk objects not drawn (outside the view or beyond the view distance)
  // and all of them; -1 without a world.
  long culledChunks = -1;
  long chunks = -1;
  // Chunk sections shown and all with something to draw; -1 likewise.
  long shownSections = -1;
  long sections = -1;
  long triangles = -1;
};

std::optional<TickRecord> parseTick(const TimedLine& line);
std::optional<FrameRecord> parseFrame(const TimedLine& line);

#endif
