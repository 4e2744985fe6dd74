#ifndef BURST_LINES_H
#define BURST_LINES_H

// The lines about one kind of packet the client turns away, which a server
// may send by the hundred thousand: the first of a burst is written as it
// comes, with what it was; the others of the burst are only counted, and
// said in one line once the burst is over (no more of them for QuietTime).
// A flood thus writes two lines to standard output, not one per packet.

#include <chrono>
#include <cstddef>
#include <iostream>
#include <string>
#include <utility>

class BurstLines {
public:
  using Clock = std::chrono::steady_clock;

  static constexpr Clock::duration QuietTime = std::chrono::seconds(1);

  // The summary says `verb` N "more" `what`, as in "ignored 12 more chunks
  // beyond 36 columns of the player".
  BurstLines(std::string verb, std::string what)
      : m_verb(std::move(verb)), m_what(std::move(what)) {}

  // One more of the kind at `now`; `line()` gives the text written when it
  // starts a burst, and is not called otherwise.
  template <class Line> void note(Line&& line, Clock::time_point now = Clock::now()) {
    end(now);
    if (m_open) {
      ++m_more;
    } else {
      std::cout << line() << std::endl;
      m_open = true;
    }
    m_last = now;
  }

  // Once per tick: ends the burst that has been quiet for QuietTime.
  void end(Clock::time_point now = Clock::now()) {
    if (!m_open || now - m_last < QuietTime)
      return;
    if (m_more > 0)
      std::cout << m_verb << " " << m_more << " more " << m_what << std::endl;
    m_open = false;
    m_more = 0;
  }

private:
  std::string m_verb;
  std::string m_what;
  bool m_open = false;
  std::size_t m_more = 0;
  Clock::time_point m_last;
};

#endif
