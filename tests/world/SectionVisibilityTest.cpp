#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SectionLinks.h"
#include "SectionWalk.h"

namespace {

using Solid = std::function<bool(int x, int y, int z)>;

// The links of a column whose blocks (column coordinates) are solid where
// `solid` says.
ColumnLinks linksOf(const Solid& solid) {
  std::vector<TSVoxel> column(ChunkBlocks);
  for (int x = 0; x < ChunkSizeX; ++x)
    for (int z = 0; z < ChunkSizeZ; ++z)
      for (int y = 0; y < ChunkSizeY; ++y)
        if (solid(x, y, z))
          column[std::size_t((x * ChunkSizeZ + z) * ChunkSizeY + y)] = TSVoxel(1);
  return columnLinks(column.data());
}

bool inBox(int v, int low, int high) { return v >= low && v < high; }

TEST(SectionLinks, AirJoinsTheFacesItTouchesThroughFacesAndEdges) {
  struct Case {
    const char* name;
    Solid solid;
    // Pairs expected joined in section 2 (y 32 to 47); all others are not.
    std::vector<std::pair<Face, Face>> joined;
  };
  const auto tunnelX = [](int, int y, int z) { return !(inBox(y, 38, 40) && inBox(z, 7, 9)); };
  // Two shafts that touch only along an edge: air at (x 7, z 7) from the
  // bottom up to y 39 and at (x 8, z 7) from y 40 to the top.
  const auto edgeShafts = [](int x, int y, int z) {
    return !((x == 7 && z == 7 && y < 40) || (x == 8 && z == 7 && y >= 40));
  };
  // The same, touching only at a corner: the upper one at (x 8, z 8).
  const auto cornerShafts = [](int x, int y, int z) {
    return !((x == 7 && z == 7 && y < 40) || (x == 8 && z == 8 && y >= 40));
  };
  const std::vector<Case> cases = {
      {"solid", [](int, int, int) { return true; }, {}},
      {"closed cave", [](int x, int y, int z) {
         return !(inBox(x, 4, 12) && inBox(y, 36, 44) && inBox(z, 4, 12));
       }, {}},
      {"tunnel along x", tunnelX, {{Face::NegX, Face::PosX}}},
      {"shafts meeting at an edge", edgeShafts, {{Face::NegY, Face::PosY}}},
      {"shafts meeting at a corner", cornerShafts, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SectionLinks links = linksOf(c.solid)[2];
    for (int a = 0; a < FaceCount; ++a)
      for (int b = 0; b < FaceCount; ++b) {
        if (a == b)
          continue;
        bool expected = false;
        for (const auto& [p, q] : c.joined)
          expected |= (Face(a) == p && Face(b) == q) || (Face(a) == q && Face(b) == p);
        EXPECT_EQ(links.joined(Face(a), Face(b)), expected) << a << " " << b;
      }
  }
  const ColumnLinks air = linksOf([](int, int, int) { return false; });
  for (const SectionLinks& section : air)
    EXPECT_EQ(section, SectionLinks::open());
}

// Ground up to y 63 under every column around (0, 0); a cave in column
// (0, 0) at y 20 to 27, which a shaft may open to the surface.
class SectionWalkTest : public testing::Test {
protected:
  static bool ground(int, int y, int) { return y < 64; }
  static bool cave(int x, int y, int z) {
    return inBox(x, 4, 12) && inBox(y, 20, 28) && inBox(z, 4, 12);
  }
  static bool shaft(int x, int y, int z) { return inBox(x, 7, 9) && inBox(z, 7, 9) && y >= 20; }

  void build(bool withShaft) {
    for (int x = -2; x <= 2; ++x)
      for (int z = -2; z <= 2; ++z)
        m_walk.setLinks({x, 0, z}, linksOf(ground));
    m_walk.setLinks({0, 0, 0}, linksOf([=](int x, int y, int z) {
                      return ground(x, y, z) && !cave(x, y, z) && !(withShaft && shaft(x, y, z));
                    }));
  }

  bool visible(int x, int section, int z) const { return m_walk.visible({x, 0, z}, section); }

  SectionWalk m_walk;
};

TEST_F(SectionWalkTest, AClosedCaveIsSkippedAndTheSurfaceDrawn) {
  build(false);
  m_walk.walk({8, 70, 24}, 2);
  for (int x = -2; x <= 2; ++x) {
    EXPECT_TRUE(visible(x, 4, 0)) << x;
    EXPECT_TRUE(visible(x, 3, 0)) << "the ground's top is in section 3: " << x;
    EXPECT_FALSE(visible(x, 2, 0)) << x;
  }
  EXPECT_FALSE(visible(0, 1, 0));
  EXPECT_TRUE(visible(7, 1, 7)) << "beyond the walk's radius everything shows";
  EXPECT_TRUE(visible(-2, 3, -1));
}

TEST_F(SectionWalkTest, ACaveOpenToTheSurfaceIsDrawnWhenTheCameraCanLookIn) {
  build(true);
  m_walk.walk({8, 70, 8}, 2);
  EXPECT_TRUE(visible(0, 2, 0));
  EXPECT_TRUE(visible(0, 1, 0));
  EXPECT_FALSE(visible(1, 1, 0)) << "rock beside the cave";
  // From above the world every column's top can be seen, and down the shaft.
  m_walk.walk({8, 300, 8}, 2);
  EXPECT_TRUE(visible(0, 1, 0));
  EXPECT_TRUE(visible(2, 3, -2));
}

TEST_F(SectionWalkTest, TheCameraInsideACaveSeesItButNotTheSurface) {
  build(false);
  m_walk.walk({8, 24, 8}, 2);
  EXPECT_TRUE(visible(0, 1, 0));
  EXPECT_TRUE(visible(0, 2, 0)) << "the sections around the camera's are entered";
  EXPECT_FALSE(visible(0, 4, 0));
  EXPECT_FALSE(visible(2, 3, 2));
}

TEST_F(SectionWalkTest, ColumnsWithoutKnownBlocksCountAsOpen) {
  build(false);
  m_walk.forget({0, 0, 0});
  m_walk.walk({8, 70, 24}, 2);
  EXPECT_TRUE(visible(0, 1, 0));
  EXPECT_TRUE(visible(0, 0, 0));
  EXPECT_TRUE(visible(1, 1, 0)) << "rock beside an open section may show its face";
  EXPECT_FALSE(visible(2, 1, 0));
}

} // namespace
