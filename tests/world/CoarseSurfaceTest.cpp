#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ChunkRegions.h"
#include "CoarseSurface.h"
#include "vox/SurfaceExtractor.h"

namespace {

using Surface = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;
using Vec = Vox::Vector3DFloat;

const ChunkPosition Chunk(1, 0, -2);

// Makes the voxels around the chunk solid (type 1) where `solid` says, in
// coordinates relative to the chunk's lowest block.
void fill(WorldVolume& volume, const std::function<bool(int, int, int)>& solid) {
  const Vox::Region region = chunkCopyRegion(Chunk);
  const Vox::Vector3DInt32 lower = chunkLowerCorner(Chunk);
  for (int x = region.getLowerCorner().x; x <= region.getUpperCorner().x; ++x)
    for (int y = region.getLowerCorner().y; y <= region.getUpperCorner().y; ++y)
      for (int z = region.getLowerCorner().z; z <= region.getUpperCorner().z; ++z)
        if (solid(x - lower.x, y - lower.y, z - lower.z))
          volume.setVoxelAt(x, y, z, TSVoxel(1));
}

Surface fullSurface(WorldVolume& volume) {
  Surface surface;
  Vox::SurfaceExtractor<WorldVolume>(&volume, chunkExtractionRegion(Chunk), &surface).execute();
  return surface;
}

Surface coarseSurface(WorldVolume& volume, unsigned finerSides) {
  Surface surface;
  extractCoarseSurface(volume, Chunk, finerSides, surface);
  return surface;
}

double distance(Vec a, Vec b) {
  const Vec d = a - b;
  return std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
}

// Points on every triangle of the surface, a tenth of an edge apart.
std::vector<Vec> pointsOn(const Surface& surface) {
  std::vector<Vec> points;
  const auto& vertices = surface.getVertices();
  const auto& indices = surface.getIndices();
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
    const Vec a = vertices[indices[i]].getPosition(), b = vertices[indices[i + 1]].getPosition(),
              c = vertices[indices[i + 2]].getPosition();
    for (int s = 0; s <= 10; ++s)
      for (int t = 0; s + t <= 10; ++t)
        points.push_back(a + (b - a) * (float(s) / 10) + (c - a) * (float(t) / 10));
  }
  return points;
}

// How far the farthest vertex of `coarse` lies from the surface `full`.
double farthestVertex(const Surface& coarse, const Surface& full) {
  const std::vector<Vec> points = pointsOn(full);
  double farthest = 0;
  for (const auto& vertex : coarse.getVertices()) {
    double nearest = std::numeric_limits<double>::max();
    for (const Vec& point : points)
      nearest = std::min(nearest, distance(vertex.getPosition(), point));
    farthest = std::max(farthest, nearest);
  }
  return farthest;
}

struct Shape {
  std::string name;
  std::function<bool(int, int, int)> solid;
};

// Ground at an even and an odd height (the coarse samples see every second
// layer), and a sphere that lies in the chunk and one that crosses its sides.
const Shape Shapes[] = {
    {"ground 40 high", [](int, int y, int) { return y < 40; }},
    {"ground 41 high", [](int, int y, int) { return y < 41; }},
    {"sphere inside", [](int x, int y, int z) {
       return (x - 8) * (x - 8) + (y - 60) * (y - 60) + (z - 8) * (z - 8) < 36;
     }},
    {"sphere across a corner", [](int x, int y, int z) {
       return x * x + (y - 60) * (y - 60) + z * z < 100;
     }},
};

TEST(CoarseSurface, HasAQuarterOfTheTrianglesWithinABlockOfTheFullSurface) {
  for (const Shape& shape : Shapes) {
    SCOPED_TRACE(shape.name);
    WorldVolume volume(WorldVolumeBlockSide);
    fill(volume, shape.solid);
    const Surface full = fullSurface(volume);
    const Surface coarse = coarseSurface(volume, 0);
    ASSERT_GT(full.getNoOfIndices(), 0u);
    const double share = double(coarse.getNoOfIndices()) / double(full.getNoOfIndices());
    EXPECT_GT(share, 0.15);
    EXPECT_LT(share, 0.35);
    // A block, and the sampling's error of up to a tenth of an edge.
    EXPECT_LE(farthestVertex(coarse, full), 1.1);
    EXPECT_LE(farthestVertex(full, coarse), 1.1);
  }
}

// Walls are added on the sides towards a finer neighbour only, lie in those
// side planes, and are a fraction of the surface. (That they close the gap
// is shown on screen by the chunk drawing tests.)
TEST(CoarseSurface, WallsLieInTheSidesTowardsFinerNeighbours) {
  WorldVolume volume(WorldVolumeBlockSide);
  fill(volume, [](int x, int y, int z) { return y < 41 + (x + 3 * z) % 3; });
  const Surface bare = coarseSurface(volume, 0);
  const Surface walled = coarseSurface(volume, LowXSide | HighZSide);
  ASSERT_GT(walled.getNoOfIndices(), bare.getNoOfIndices());
  // Walls lie in the planes x = 0 and z = 16 only, wound to face across them.
  const auto& vertices = walled.getVertices();
  const auto& indices = walled.getIndices();
  for (std::size_t i = bare.getNoOfIndices(); i + 2 < indices.size(); i += 3) {
    const Vec a = vertices[indices[i]].getPosition(), b = vertices[indices[i + 1]].getPosition(),
              c = vertices[indices[i + 2]].getPosition();
    const bool inX = a.x == 0 && b.x == 0 && c.x == 0;
    const bool inZ = a.z == 16 && b.z == 16 && c.z == 16;
    ASSERT_TRUE(inX || inZ) << "wall triangle " << i / 3;
    const Vec e = b - a, f = c - a;
    const float area = inX ? e.y * f.z - e.z * f.y : e.x * f.y - e.y * f.x;
    EXPECT_NE(area, 0.0f);
  }
  EXPECT_LT(walled.getNoOfIndices() - bare.getNoOfIndices(), bare.getNoOfIndices());
}

} // namespace
