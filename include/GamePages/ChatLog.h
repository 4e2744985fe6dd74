#ifndef GAME_PAGES_CHAT_LOG_H
#define GAME_PAGES_CHAT_LOG_H

// The last lines of chat, each shown for a while after it arrived and then
// faded out.

#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace GamePages {

class ChatLog {
public:
  using Clock = std::chrono::steady_clock;

  // Lines kept; older ones are dropped.
  static constexpr std::size_t Lines = 10;
  // A line shows fully for this long, then fades out over FadeTime.
  static constexpr std::chrono::milliseconds ShowTime{8000};
  static constexpr std::chrono::milliseconds FadeTime{2000};

  struct Shown {
    std::string utf8;
    // 1 while fully shown, down to 0 when gone.
    float opacity;
  };

  void add(std::string utf8, Clock::time_point now);
  // The lines still shown, oldest first; with everything set, all kept
  // lines at full opacity (while the player is typing).
  std::vector<Shown> shown(Clock::time_point now, bool everything) const;

private:
  struct Line {
    std::string utf8;
    Clock::time_point arrived;
  };

  std::deque<Line> m_lines;
};

} // namespace GamePages

#endif
