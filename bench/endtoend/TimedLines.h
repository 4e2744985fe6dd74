#ifndef BENCH_ENDTOEND_TIMED_LINES_H
#define BENCH_ENDTOEND_TIMED_LINES_H

// The lines a process writes to a non-blocking descriptor, each stamped with
// the moment it was read.

#include <chrono>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

struct TimedLine {
  Clock::time_point time;
  std::string text;
};

class TimedLines {
public:
  explicit TimedLines(int descriptor) : m_descriptor(descriptor) {}

  int descriptor() const { return m_descriptor; }
  // Reads what is there; the complete lines among it get the current time.
  void readAvailable();
  // The writer has closed its end.
  bool closed() const { return m_closed; }
  const std::vector<TimedLine>& lines() const { return m_lines; }
  // The last `count` lines, one per line, for error messages.
  std::string tail(std::size_t count) const;

private:
  int m_descriptor;
  bool m_closed = false;
  std::string m_partial;
  std::vector<TimedLine> m_lines;
};

// Waits up to `limit` for output on any of `sources` and reads it.
void readAny(const std::vector<TimedLines*>& sources, std::chrono::milliseconds limit);

#endif
