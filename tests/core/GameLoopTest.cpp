#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Game.h"
#include "TickSchedule.h"

namespace {

using namespace std::chrono_literals;
using Clock = Game::Clock;

// Records its ticks and frames in order; scripts decide what each does.
class RecordingPage : public GamePage {
public:
  struct Event {
    bool tick;
    Clock::time_point due; // ticks only
    Clock::time_point start;
    float progress;        // frames only
  };

  std::function<void(int)> onTick = [](int) {};
  std::function<void(int)> onFrame = [](int) {};
  std::vector<Event> events;

  void tick() override {
    events.push_back({true, Game::instance().tickDue(), Clock::now(), 0});
    onTick(ticks());
  }
  void frame(float progress) override {
    events.push_back({false, {}, Clock::now(), progress});
    onFrame(frames());
  }

  int ticks() const { return count(true); }
  int frames() const { return count(false); }
  std::vector<Event> only(bool ticks) const {
    std::vector<Event> chosen;
    for (const Event& event : events)
      if (event.tick == ticks)
        chosen.push_back(event);
    return chosen;
  }

private:
  int count(bool ticks) const { return int(only(ticks).size()); }
};

void run(RecordingPage& page, int frameRateLimit = 0) {
  Game& game = Game::instance();
  game.setFrameRateLimit(frameRateLimit);
  game.page(page);
  game.run();
}

void stopAtTick(RecordingPage& page, int tick) {
  page.onTick = [tick](int count) {
    if (count == tick)
      Game::instance().stop();
  };
}

// Ticks fall due every 50 ms on one grid; frames run between them.
TEST(GameLoop, TicksKeepTheirGridAndFramesRunBetweenThem) {
  RecordingPage page;
  stopAtTick(page, 6);
  run(page);

  const std::vector<RecordingPage::Event> ticks = page.only(true);
  ASSERT_EQ(ticks.size(), 6u);
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const auto step = ticks[i].due - ticks[i - 1].due;
    EXPECT_EQ(step % TickSchedule::Period, Clock::duration::zero()) << i;
    EXPECT_GE(step, TickSchedule::Period) << i;
    EXPECT_GE(ticks[i].start, ticks[i].due) << i;
  }
  // Without a limit the loop draws whenever it does not tick.
  EXPECT_GE(page.frames(), 5);
  for (const RecordingPage::Event& frame : page.only(false)) {
    EXPECT_GE(frame.progress, 0.0f);
    EXPECT_LE(frame.progress, 1.0f);
  }
}

// A frame that takes 175 ms is followed at once by one tick, for the
// latest grid point: the ticks it covered are dropped, not run in a burst.
TEST(GameLoop, ASlowFrameIsFollowedByOneTickAndTheMissedOnesAreDropped) {
  RecordingPage page;
  const int slowFrame = 3;
  Clock::time_point slowEnd;
  page.onFrame = [&](int count) {
    if (count == slowFrame) {
      std::this_thread::sleep_for(175ms);
      slowEnd = Clock::now();
    }
  };
  stopAtTick(page, 8);
  run(page);

  std::size_t slow = 0;
  for (int frames = 0; frames < slowFrame; ++slow)
    frames += page.events[slow].tick ? 0 : 1;
  ASSERT_LT(slow + 1, page.events.size());
  const RecordingPage::Event& next = page.events[slow];
  EXPECT_TRUE(next.tick);
  EXPECT_GT(next.due, slowEnd - TickSchedule::Period);
  for (std::size_t i = 1; i < page.events.size(); ++i)
    EXPECT_FALSE(page.events[i - 1].tick && page.events[i].tick) << "ticks back to back at " << i;
}

// With a limit of 20 frames a second, frames start at least 50 ms apart.
TEST(GameLoop, TheFrameRateLimitSpacesTheFrames) {
  RecordingPage page;
  stopAtTick(page, 8);
  run(page, 20);

  const std::vector<RecordingPage::Event> frames = page.only(false);
  ASSERT_GE(frames.size(), 2u);
  for (std::size_t i = 1; i < frames.size(); ++i)
    EXPECT_GE(frames[i].start - frames[i - 1].start, 50ms) << i;
}

// Stopping inside a tick ends the loop before another frame; the loop can
// run again afterwards.
TEST(GameLoop, StopInsideATickEndsTheLoopAtOnce) {
  RecordingPage page;
  stopAtTick(page, 3);
  run(page);
  ASSERT_TRUE(page.events.back().tick);
  EXPECT_EQ(page.ticks(), 3);

  RecordingPage next;
  stopAtTick(next, 1);
  run(next);
  EXPECT_EQ(next.ticks(), 1);
  EXPECT_EQ(Game::instance().page(), &next);
}

TEST(GameLoop, InstallingNoPageKeepsTheCurrentOne) {
  RecordingPage page;
  page.onTick = [](int count) {
    if (count == 1)
      Game::instance().page(nullptr);
    if (count == 3)
      Game::instance().stop();
  };
  run(page);
  EXPECT_EQ(page.ticks(), 3);
  EXPECT_EQ(Game::instance().page(), &page);
}

} // namespace
