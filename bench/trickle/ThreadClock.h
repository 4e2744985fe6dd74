#ifndef TRICKLE_THREAD_CLOCK_H
#define TRICKLE_THREAD_CLOCK_H

// The processor time of the calling thread: what parsing costs the thread
// that draws, without the time other threads of a busy machine take from
// it meanwhile.

#include <chrono>
#include <ctime>

struct ThreadClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<ThreadClock>;
  static constexpr bool is_steady = true;

  static time_point now() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
  }
};

#endif
