#ifndef SESSION_TIME_PACING_H
#define SESSION_TIME_PACING_H

// Keeping the client's tick count in step with the server's world time, and
// the lines that say so.

#include <array>
#include <chrono>
#include <cstdint>

// Tick counts are compared and advanced modulo 2^64: a server may send any
// 64-bit world time, the ends of the range included, and the counters then
// go on from it without overflowing.

// What one tick's pacing did.
enum class PacingStep {
  // In step, or one tick apart: tolerated.
  Kept,
  // A gap above 200 ticks was closed at once.
  CaughtUp,
  // The client was 2 to 200 ticks ahead: the server's count took one more.
  SlowedDown,
  // The client was 2 to 200 ticks behind: its count took one more.
  SpedUp,
};

// Once per tick: a gap above 200 ticks is closed at once, a gap of 2 to 200
// is reduced by one tick, a gap of one tick is tolerated. Both counters then
// advance by one.
PacingStep paceTime(std::int64_t& localTick, std::int64_t& serverTime);

// Takes the server's world time unless it is within one tick of the time
// the client tracks.
void followServerTime(std::int64_t& serverTime, std::int64_t receivedTime);

// The pacing's lines: a step's line is printed when it has not been for a
// second, otherwise counted; counted steps are printed once their second is
// over, with how many ticks they stand for ("too fast, slowing down (12
// ticks)"). A client that lags would otherwise print one line per tick.
class PacingLines {
public:
  using Clock = std::chrono::steady_clock;

  // Notes one tick's step, then prints the lines that are due at `now`.
  void note(PacingStep step, Clock::time_point now);

private:
  struct Line {
    Line(PacingStep step, const char* text) : step(step), text(text) {}

    PacingStep step;
    const char* text;
    int pending = 0;
    bool printed = false;
    Clock::time_point last;
  };

  std::array<Line, 3> m_lines = {
      Line(PacingStep::CaughtUp, "can't catch up to server time, probably connecting or huge lag"),
      Line(PacingStep::SlowedDown, "too fast, slowing down"),
      Line(PacingStep::SpedUp, "you are too slow, render less")};
};

#endif
