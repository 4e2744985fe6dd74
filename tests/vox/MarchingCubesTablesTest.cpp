#include <gtest/gtest.h>

#include "vox/MarchingCubesTables.h"

namespace {

const int cornerPositions[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                   {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// Every case's triangles use exactly the edges that change sign, and every
// triangle is counter-clockwise seen from the corners below the threshold:
// its normal (b - a) x (c - a) points from the corners above the threshold
// to those below along each of its edges.
TEST(MarchingCubesTablesTest, TrianglesCoverTheCrossedEdgesAndFaceTheOutside) {
  int triangles = 0;
  for (int cube = 0; cube < 256; ++cube) {
    SCOPED_TRACE(testing::Message() << "case " << cube);
    unsigned used = 0;
    for (int i = 0; Vox::triTable[cube][i] != -1; i += 3) {
      double p[3][3];
      double outward[3] = {0, 0, 0};
      for (int k = 0; k < 3; ++k) {
        const int edge = Vox::triTable[cube][i + k];
        used |= 1u << edge;
        const int a = Vox::edgeCorners[edge][0];
        const int b = Vox::edgeCorners[edge][1];
        const int below = (cube >> a) & 1 ? a : b;
        const int above = below == a ? b : a;
        for (int j = 0; j < 3; ++j) {
          p[k][j] = (cornerPositions[a][j] + cornerPositions[b][j]) / 2.0;
          outward[j] += cornerPositions[below][j] - cornerPositions[above][j];
        }
      }
      const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
      const double v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
      const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                           u[0] * v[1] - u[1] * v[0]};
      EXPECT_GT(n[0] * outward[0] + n[1] * outward[1] + n[2] * outward[2], 0.0)
          << "triangle " << i / 3;
      ++triangles;
    }
    EXPECT_EQ(used, Vox::edgeTable[cube]);
  }
  EXPECT_EQ(triangles, 820);
}

} // namespace
