#ifndef GAME_PAGES_TIME_PACING_H
#define GAME_PAGES_TIME_PACING_H

#include <cstdint>

namespace GamePages {

// Tick counts are compared and advanced modulo 2^64: a server may send any
// 64-bit world time, the ends of the range included, and the counters then
// go on from it without overflowing.

// Keeps the client's tick count in step with the server's world time, once
// per tick: a gap above 200 ticks is closed at once, a gap of 2 to 200 is
// reduced by one tick (a client behind the server skips this tick's frame),
// a gap of one tick is tolerated. Both counters then advance by one.
// Returns whether this tick's frame is rendered.
bool paceTime(std::int64_t& localTick, std::int64_t& serverTime);

// Takes the server's world time unless it is within one tick of the time
// the client tracks.
void followServerTime(std::int64_t& serverTime, std::int64_t receivedTime);

} // namespace GamePages

#endif
