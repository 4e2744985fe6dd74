#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Game.h"

namespace {
using boost::posix_time::microsec_clock;
using boost::posix_time::milliseconds;
using boost::posix_time::ptime;

// Records when each of its updates fell due and when it ran; a script decides
// what an update does.
class RecordingPage : public GamePage {
public:
  struct Tick {
    ptime due;
    ptime ran;
  };

  std::function<void(int)> script = [](int) {};
  std::vector<Tick> ticks;

  void update() override {
    ticks.push_back({Game::instance().tickDue(), microsec_clock::universal_time()});
    script(static_cast<int>(ticks.size()));
  }
};

// Runs the loop with the page installed until its script stops it.
ptime runUntilStopped(RecordingPage& page) {
  Game& game = Game::instance();
  game.page(page);
  const ptime start = microsec_clock::universal_time();
  game.run();
  return start;
}

// Game is a process-wide singleton that keeps pointing at the last page it
// ran; each case needs a process of its own, as ctest runs them.
class GameLoop : public testing::Test {
protected:
  void SetUp() override {
    if (Game::instance().page() != nullptr) {
      GTEST_SKIP() << "run this case in a process of its own";
    }
  }
};

void stopAfter(RecordingPage& page, int updates) {
  page.script = [updates](int count) {
    if (count == updates) Game::instance().stop();
  };
}
}  // namespace

TEST_F(GameLoop, FirstUpdateComesOnTheSecondTickThenEveryFiftyMilliseconds) {
  RecordingPage page;
  stopAfter(page, 5);
  const ptime start = runUntilStopped(page);

  ASSERT_EQ(page.ticks.size(), 5u);
  EXPECT_EQ(Game::instance().page(), &page);
  // The first tick falls due 50 ms after the start and only installs the page.
  EXPECT_GE(page.ticks[0].due, start + milliseconds(100));
  for (std::size_t i = 0; i < page.ticks.size(); ++i) {
    EXPECT_EQ(page.ticks[i].due, page.ticks[0].due + milliseconds(50 * static_cast<int>(i))) << i;
    EXPECT_GE(page.ticks[i].ran, page.ticks[i].due) << i;
  }
}

TEST_F(GameLoop, SlowUpdateIsFollowedByCatchUpTicksOnTheSameGrid) {
  RecordingPage page;
  const int slow = 2;
  page.script = [](int count) {
    if (count == slow) std::this_thread::sleep_for(std::chrono::milliseconds(175));
    if (count == slow + 5) Game::instance().stop();
  };
  runUntilStopped(page);

  ASSERT_EQ(page.ticks.size(), 7u);
  const ptime slowDue = page.ticks[slow - 1].due;
  const ptime slowEnd = page.ticks[slow - 1].ran + milliseconds(175);
  for (int later = 1; later <= 5; ++later) {
    const RecordingPage::Tick& tick = page.ticks[slow - 1 + later];
    // No tick is skipped or moved off the grid by the overrun ...
    EXPECT_EQ(tick.due, slowDue + milliseconds(50 * later)) << later;
    // ... and none runs before the slow one has finished or before it is due.
    EXPECT_GE(tick.ran, slowEnd) << later;
    EXPECT_GE(tick.ran, tick.due) << later;
  }
}

TEST_F(GameLoop, StopInsideAnUpdateEndsRunAfterThatTicksPageSwap) {
  RecordingPage first;
  RecordingPage second;
  first.script = [&second](int count) {
    if (count == 3) {
      Game::instance().page(second);
      Game::instance().stop();
    }
  };
  runUntilStopped(first);

  EXPECT_EQ(first.ticks.size(), 3u);
  EXPECT_TRUE(second.ticks.empty());
  EXPECT_EQ(Game::instance().page(), &second);
}

TEST_F(GameLoop, InstallingNoPageKeepsTheCurrentOne) {
  RecordingPage page;
  page.script = [](int count) {
    if (count == 1) Game::instance().page(nullptr);
    if (count == 3) Game::instance().stop();
  };
  runUntilStopped(page);

  EXPECT_EQ(page.ticks.size(), 3u);
  EXPECT_EQ(Game::instance().page(), &page);
}
