#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

#include "world/DetailPolicy.h"

namespace {

const char* nameOf(MeshDetail detail) {
  switch (detail) {
  case MeshDetail::Full:
    return "full";
  case MeshDetail::Far:
    return "far";
  case MeshDetail::Coarse:
    return "coarse";
  }
  return "?";
}

struct DetailCase {
  int detailDistance, coarseDistance;
  std::int64_t distance;
  std::optional<MeshDetail> meshed;
  MeshDetail wanted;
};

// A chunk one column beyond a level's reach keeps that level; nearer, it
// changes at once; a level two columns beyond its reach is left.
TEST(DetailPolicy, DetailFollowsTheDistanceAndKeepsALevelOneColumnBeyondIt) {
  const auto none = std::nullopt;
  const MeshDetail full = MeshDetail::Full, far = MeshDetail::Far, coarse = MeshDetail::Coarse;
  const std::vector<DetailCase> cases = {
      {2, 5, 0, none, full},   {2, 5, 2, none, full},     {2, 5, 3, none, far},
      {2, 5, 5, none, far},    {2, 5, 6, none, coarse},   {2, 5, 1000, none, coarse},
      {2, 5, 3, full, full},   {2, 5, 4, full, far},      {2, 5, 6, far, far},
      {2, 5, 7, far, coarse},  {2, 5, 2, far, full},      {2, 5, 5, coarse, far},
      {2, 5, 1, coarse, full}, {2, 5, 6, full, coarse},   {2, 5, 3, coarse, far},
      // The coarse distance holds whatever the detail distance.
      {6, 3, 3, none, full},   {6, 3, 4, none, coarse},   {6, 3, 4, full, full},
      {0, 0, 0, none, full},   {0, 0, 1, none, coarse},   {0, 0, 1, full, full},
  };
  for (const DetailCase& c : cases) {
    const DetailPolicy policy(c.detailDistance, c.coarseDistance);
    EXPECT_EQ(policy.wantedDetail(c.distance, c.meshed), c.wanted)
        << "distances " << c.detailDistance << ", " << c.coarseDistance << ": "
        << c.distance << " columns, meshed " << (c.meshed ? nameOf(*c.meshed) : "never")
        << ": got " << nameOf(policy.wantedDetail(c.distance, c.meshed));
  }
}

TEST(DetailPolicy, ColumnDistanceIsAlongTheFartherAxisWithoutOverflow) {
  const int max = std::numeric_limits<int>::max(), min = std::numeric_limits<int>::min();
  struct Case {
    ChunkPosition a, b;
    std::int64_t distance;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}, 0},
      {{0, 0, 0}, {3, 0, -5}, 5},
      {{-2, 0, 7}, {2, 0, 6}, 4},
      {{min, 0, 0}, {max, 0, 0}, std::int64_t(max) - min},
      {{0, 0, max}, {0, 0, min}, std::int64_t(max) - min},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(columnDistance(c.a, c.b), c.distance) << c.a.x << ", " << c.a.z;
    EXPECT_EQ(columnDistance(c.b, c.a), c.distance) << c.b.x << ", " << c.b.z;
  }
}

} // namespace
