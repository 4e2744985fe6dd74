#ifndef TICK_SCHEDULE_H
#define TICK_SCHEDULE_H

// When the game's 20 Hz ticks fall due. Ticks lie on a fixed grid of 50 ms
// from the start, so that twenty run every second however long the frames
// between them take. A loop that has fallen a whole period or more behind
// drops the ticks it missed instead of running them back to back: a burst
// of ticks would send a burst of position reports, which servers take for
// a player moving too fast.

#include <chrono>
#include <cstdint>

class TickSchedule {
public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration Period = std::chrono::milliseconds(50);

  // The first tick falls due at `start`.
  explicit TickSchedule(Clock::time_point start) : m_next(start) {}

  bool isDue(Clock::time_point now) const { return now >= m_next; }
  Clock::time_point next() const { return m_next; }

  // Starts the tick due at `now`: the latest grid point not after it, the
  // earlier ones dropped. Returns when that tick fell due.
  Clock::time_point start(Clock::time_point now);

  // The share of the period from the last tick's grid point to `now`, 0 to
  // 1: how far a frame drawn now lies between the last tick and the next.
  float progress(Clock::time_point now) const;

  // Ticks dropped since the start.
  std::uint64_t dropped() const { return m_dropped; }

private:
  Clock::time_point m_next;
  Clock::time_point m_last;
  bool m_started = false;
  std::uint64_t m_dropped = 0;
};

#endif
