#include <gtest/gtest.h>

#include <vector>

#include "server/FallTracker.h"

namespace {

using Report = Server::FallTracker::Report;

struct Fall {
  const char* what;
  std::vector<Report> reports;
  // The damage of the last report's landing; 0 for none.
  int damage;
};

} // namespace

// Starting on the ground at height 64, the reports go through the tracker;
// only the last one may land with damage.
TEST(FallTracker, DamageIsTheBlocksBeyondThreeRoundedUp) {
  const Fall falls[] = {
      {"a jump", {{65.25, false, false}, {64, true, false}}, 0},
      {"three blocks", {{67, false, false}, {64, true, false}}, 0},
      {"four blocks", {{68, false, false}, {64, true, false}}, 1},
      {"four blocks and a hair", {{68.0000000001, false, false}, {64, true, false}}, 1},
      {"four and a half", {{68.5, false, false}, {64, true, false}}, 2},
      {"ten blocks", {{74, false, false}, {70, false, false}, {64, true, false}}, 7},
      {"from the top, not from the last report",
       {{74, false, false}, {66, false, false}, {64, true, false}},
       7},
      {"down a cliff", {{64, false, false}, {54, true, false}}, 7},
      {"water on the way down", {{84, false, false}, {70, false, true}, {64, true, false}}, 3},
      {"into water", {{84, false, false}, {64, true, true}}, 0},
      {"standing on the ground between",
       {{74, false, false}, {74, true, false}, {70, true, false}, {64, true, false}},
       0},
  };
  for (const Fall& fall : falls) {
    Server::FallTracker tracker;
    tracker.placed(64);
    std::optional<Server::FallTracker::Landing> landing;
    for (const Report& report : fall.reports) {
      ASSERT_FALSE(landing) << fall.what << ": a landing before the last report";
      landing = tracker.report(report);
    }
    EXPECT_EQ(landing ? landing->damage : 0, fall.damage) << fall.what;
  }
}

TEST(FallTracker, TheFallenHeightIsReported) {
  Server::FallTracker tracker;
  tracker.placed(64);
  tracker.report({74.5, false, false});
  const auto landing = tracker.report({64, true, false});
  ASSERT_TRUE(landing);
  EXPECT_DOUBLE_EQ(landing->fallen, 10.5);
}

// Being put somewhere by the server ends any fall: a player placed low
// down while in the air does not land from where it was.
TEST(FallTracker, APlaceStartsAfresh) {
  Server::FallTracker tracker;
  tracker.placed(64);
  tracker.report({100, false, false});
  tracker.placed(64);
  EXPECT_FALSE(tracker.report({64, true, false}));
  tracker.report({66, false, false});
  EXPECT_FALSE(tracker.report({64, true, false}));
}
