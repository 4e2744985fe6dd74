#ifndef GAME_PAGES_TIME_PACING_H
#define GAME_PAGES_TIME_PACING_H

#include <cstdint>

namespace GamePages {

// Keeps the client's tick count in step with the server's world time, once
// per tick: a gap above 200 ticks is closed at once, a gap of 2 to 200 is
// reduced by one tick (a client behind the server skips this tick's frame),
// a gap of one tick is tolerated. Both counters then advance by one.
// Returns whether this tick's frame is rendered.
bool paceTime(std::int64_t& localTick, std::int64_t& serverTime);

} // namespace GamePages

#endif
