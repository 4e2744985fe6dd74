#include <gtest/gtest.h>

#include "inventory/Health.h"

namespace {

using Fill = Health::Fill;
using namespace std::chrono_literals;

// The ten symbols for a number of points, as letters: F full, H half, E
// empty.
std::string bar(int points) {
  std::string symbols;
  for (int index = 0; index < Health::Symbols; ++index) {
    const Fill fill = Health::fill(points, index);
    symbols += fill == Fill::Full ? 'F' : fill == Fill::Half ? 'H' : 'E';
  }
  return symbols;
}

TEST(Health, PointsFillHalfSymbols) {
  const struct {
    int points;
    const char* symbols;
  } cases[] = {{20, "FFFFFFFFFF"}, {19, "FFFFFFFFFH"}, {11, "FFFFFHEEEE"}, {2, "FEEEEEEEEE"},
               {1, "HEEEEEEEEE"},  {0, "EEEEEEEEEE"}, {-5, "EEEEEEEEEE"}, {300, "FFFFFFFFFF"},
               {-32768, "EEEEEEEEEE"}};
  for (const auto& c : cases)
    EXPECT_EQ(bar(c.points), c.symbols) << c.points;
}

TEST(Health, DeadAtZeroOrBelowOnceTheServerHasSaidSo) {
  Health health;
  const auto now = Health::Clock::now();
  EXPECT_FALSE(health.dead()) << "nothing heard yet";
  const struct {
    int points;
    bool dead;
  } cases[] = {{20, false}, {1, false}, {0, true}, {-3, true}, {6, false}};
  for (const auto& c : cases) {
    health.update(c.points, 20, now);
    EXPECT_EQ(health.dead(), c.dead) << c.points;
  }
  health.reset();
  EXPECT_FALSE(health.dead());
  EXPECT_FALSE(health.known());
  EXPECT_EQ(health.health(), Health::Full);
}

TEST(Health, OnlyALossFlashesAndTheFlashFades) {
  Health health;
  const auto start = Health::Clock::now();
  health.update(20, 20, start);
  EXPECT_EQ(health.flash(start), 0) << "the first value is no loss";
  health.update(20, 10, start);
  EXPECT_EQ(health.flash(start), 0) << "food is no health";
  health.update(14, 10, start);
  EXPECT_FLOAT_EQ(health.flash(start), 1);
  const float later = health.flash(start + 200ms);
  EXPECT_GT(later, 0);
  EXPECT_LT(later, 1);
  EXPECT_EQ(health.flash(start + Health::FlashTime), 0);
  health.update(18, 10, start + 1s);
  EXPECT_EQ(health.flash(start + 1s), 0) << "healing does not flash";
}

} // namespace
