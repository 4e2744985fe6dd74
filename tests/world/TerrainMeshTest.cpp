#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TerrainMesh.h"

namespace {

using Surface = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;
using Vec = Vox::Vector3DFloat;

Vec positionOf(const TerrainVertex& v) { return {v.x, v.y, v.z}; }

Vec cross(Vec u, Vec v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

struct Triangle {
  Vec a, b, c;
  int layer;
  Vec normal() const { return cross(b - a, c - a); }
  double area() const {
    const Vec n = normal();
    return 0.5 * std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
  }
};

// The output triangles, each checked to carry one layer on all corners.
std::vector<Triangle> trianglesOf(const TerrainMesh& mesh) {
  std::vector<std::uint32_t> indices(mesh.shortIndices.begin(), mesh.shortIndices.end());
  indices.insert(indices.end(), mesh.longIndices.begin(), mesh.longIndices.end());
  std::vector<Triangle> triangles;
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
    const TerrainVertex &a = mesh.vertices.at(indices[i]), &b = mesh.vertices.at(indices[i + 1]),
                        &c = mesh.vertices.at(indices[i + 2]);
    EXPECT_TRUE(a.layer == b.layer && b.layer == c.layer) << "triangle " << i / 3;
    triangles.push_back({positionOf(a), positionOf(b), positionOf(c), a.layer});
  }
  return triangles;
}

Surface surfaceOf(const std::vector<Vox::PositionMaterialNormal>& vertices,
                  const std::vector<std::uint32_t>& indices) {
  Surface surface;
  for (const auto& vertex : vertices)
    surface.addVertex(vertex);
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3)
    surface.addTriangle(indices[i], indices[i + 1], indices[i + 2]);
  surface.m_vecLodRecords.assign(1, Vox::LodRecord{0, int(indices.size())});
  return surface;
}

Vox::PositionMaterialNormal corner(Vec position, float material) {
  return {position, Vec(9, 9, 9), material};
}

// A right triangle of area 2 in the plane y = 0.
const Vec A(0, 0, 0), B(0, 0, 2), C(2, 0, 0);

TEST(TerrainMesh, SplitsByBlockTypeKeepingAreaAndWinding) {
  struct Case {
    float ma, mb, mc;
    std::vector<int> layers; // per output triangle, in order
    std::size_t vertices;
  };
  const std::vector<Case> cases = {
      {1, 1, 1, {3}, 3},
      // Corners, two midpoints and the centroid, the latter once per layer.
      {2, 2, 3, {1, 1, 5, 5}, 3 + 2 * 2 + 2},
      {2, 3, 2, {1, 1, 5, 5}, 3 + 2 * 2 + 2},
      {3, 2, 2, {1, 1, 5, 5}, 3 + 2 * 2 + 2},
      // The split compares block types, not layers; equal layers share the
      // new vertices.
      {1, 4, 7, {3, 3, 3, 3, 3, 3}, 3 + 3 + 1},
      {13, 8, 2, {1, 1, 4, 4, 6, 6}, 3 + 3 * 2 + 3},
      // Types without a layer of their own use layer 0; materials round to
      // the nearest type.
      {6, 6, 200, {0, 0, 0, 0}, 3 + 2 + 1},
      {0.6f, 1.4f, 1.0f, {3}, 3},
  };
  const Vec up = cross(B - A, C - A);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ma << "," << c.mb << "," << c.mc);
    const TerrainMesh mesh = buildTerrainMesh(
        surfaceOf({corner(A, c.ma), corner(B, c.mb), corner(C, c.mc)}, {0, 1, 2}), Vec());
    const std::vector<Triangle> triangles = trianglesOf(mesh);
    ASSERT_EQ(triangles.size(), c.layers.size());
    EXPECT_EQ(mesh.vertices.size(), c.vertices);
    double total = 0;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
      EXPECT_EQ(triangles[t].layer, c.layers[t]) << "triangle " << t;
      const Vec n = triangles[t].normal();
      EXPECT_GT(n.x * up.x + n.y * up.y + n.z * up.z, 0.0f) << "triangle " << t;
      total += triangles[t].area();
    }
    EXPECT_NEAR(total, 2.0, 1e-5);
  }
}

// Far away a triangle inside the chunk stays whole on the surface's own
// vertices, wound as before, and the corner the programs take the layer from
// (the last) has the triangle's block type: the one two corners share, else
// the last's. An edge between two types on the chunk's side is split as the
// neighbouring chunk splits it, in halves, or wholly when every such edge
// lies there.
TEST(TerrainMesh, FarDetailSplitsOnlyEdgesOnTheChunkSide) {
  struct Case {
    float ma, mb, mc;
    Vec offset;              // (0, 0, 1) puts edge A-B alone on the side x = 0
    std::vector<int> layers; // of each output triangle's last corner
    std::size_t vertices;
  };
  const Vec inside(1, 0, 1);
  const std::vector<Case> cases = {
      {1, 1, 1, inside, {3}, 3},
      {2, 2, 3, inside, {1}, 3},
      {2, 3, 2, inside, {1}, 3},
      {3, 2, 2, inside, {1}, 3},
      {13, 8, 2, inside, {1}, 3},
      {1, 4, 7, inside, {3}, 3},
      // A-B on the side: halves when its types differ.
      {2, 2, 3, Vec(0, 0, 1), {1}, 3},
      {2, 3, 2, Vec(0, 0, 1), {1, 5}, 4},
      {13, 8, 2, Vec(0, 0, 1), {6, 4}, 4},
      {2, 3, 2, Vec(16, 0, 1), {1, 5}, 4},
      // In the corner A-B lies on x = 0 and C-A on z = 0: only C-A is
      // between two types.
      {2, 2, 3, Vec(), {5, 1}, 4},
  };
  const Vec up = cross(B - A, C - A);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ma << "," << c.mb << "," << c.mc << " at "
                                    << c.offset.x << "," << c.offset.z);
    const TerrainMesh mesh = buildTerrainMesh(
        surfaceOf({corner(A + c.offset, c.ma), corner(B + c.offset, c.mb), corner(C + c.offset, c.mc)},
                  {0, 1, 2}),
        Vec(), MeshDetail::Far);
    ASSERT_EQ(mesh.shortIndices.size(), 3 * c.layers.size());
    EXPECT_EQ(mesh.vertices.size(), c.vertices);
    double total = 0;
    for (std::size_t t = 0; t < c.layers.size(); ++t) {
      const TerrainVertex& first = mesh.vertices[mesh.shortIndices[3 * t]];
      const TerrainVertex& second = mesh.vertices[mesh.shortIndices[3 * t + 1]];
      const TerrainVertex& last = mesh.vertices[mesh.shortIndices[3 * t + 2]];
      EXPECT_EQ(last.layer, c.layers[t]) << "triangle " << t;
      const Triangle triangle{positionOf(first), positionOf(second), positionOf(last), 0};
      const Vec n = triangle.normal();
      EXPECT_GT(n.x * up.x + n.y * up.y + n.z * up.z, 0.0f) << "triangle " << t;
      total += triangle.area();
    }
    EXPECT_NEAR(total, 2.0, 1e-5);
  }
}

TEST(TerrainMesh, ACornerOfItsOwnTypeGetsAThirdAroundIt) {
  const TerrainMesh mesh =
      buildTerrainMesh(surfaceOf({corner(A, 2), corner(B, 2), corner(C, 3)}, {0, 1, 2}), Vec());
  double aroundC = 0;
  for (const Triangle& t : trianglesOf(mesh))
    if (t.layer == 5) {
      EXPECT_EQ(t.a, C);
      aroundC += t.area();
    }
  EXPECT_NEAR(aroundC, 2.0 / 3.0, 1e-5);
}

TEST(TerrainMesh, NeighboursShareCornersAndMidpoints) {
  // Two triangles on the edge B-C, whose ends differ in type.
  const Vec D(2, 0, 2);
  const Surface surface = surfaceOf(
      {corner(A, 1), corner(B, 1), corner(C, 2), corner(D, 2)}, {0, 1, 2, 2, 1, 3});
  const TerrainMesh mesh = buildTerrainMesh(surface, Vec());
  ASSERT_EQ(trianglesOf(mesh).size(), 8u);
  // Four corners; the midpoints of B-C (shared by both triangles), A-C and
  // B-D, each in both layers; two centroids per triangle.
  EXPECT_EQ(mesh.vertices.size(), 4u + 3 * 2 + 2 * 2);
  ASSERT_FALSE(mesh.shortIndices.empty());
  EXPECT_TRUE(mesh.longIndices.empty());
}

TEST(TerrainMesh, WorldPositionsBoundsAndOnlyUsedVertices) {
  // Chunk (-1, 0, 2) has its lower corner at (-16, 0, 32).
  const Surface surface =
      surfaceOf({corner(Vec(0.5f, 64, 3), 8), corner(Vec(99, 99, 99), 8),
                 corner(Vec(0.5f, 64, 4), 8), corner(Vec(1.5f, 65, 3), 8)},
                {0, 2, 3});
  const TerrainMesh mesh = buildTerrainMesh(surface, Vec(-16, 0, 32));
  ASSERT_EQ(mesh.vertices.size(), 3u);
  EXPECT_EQ(positionOf(mesh.vertices[0]), Vec(-15.5f, 64, 35));
  EXPECT_EQ(mesh.vertices[0].layer, 4);
  EXPECT_EQ(mesh.lower, Vec(-15.5f, 64, 35));
  EXPECT_EQ(mesh.upper, Vec(-14.5f, 65, 36));
}

TEST(TerrainMesh, IndicesWidenOnlyPastSixteenBits) {
  for (const std::size_t triangles : {std::size_t(21845), std::size_t(21846)}) {
    std::vector<Vox::PositionMaterialNormal> vertices;
    std::vector<std::uint32_t> indices;
    for (std::uint32_t i = 0; i < 3 * triangles; ++i) {
      vertices.push_back(corner(Vec(float(i % 7), float(i % 5), float(i % 3)), 1));
      indices.push_back(i);
    }
    const TerrainMesh mesh = buildTerrainMesh(surfaceOf(vertices, indices), Vec());
    SCOPED_TRACE(mesh.vertices.size());
    EXPECT_EQ(mesh.shortIndices.empty(), mesh.vertices.size() > 65536);
    EXPECT_EQ(mesh.indexCount(), 3 * triangles);
    EXPECT_EQ(mesh.bytes(), mesh.vertices.size() * 20 + mesh.indexCount() *
                                                            (mesh.shortIndices.empty() ? 4 : 2));
  }
}

TEST(TerrainMesh, EmptySurfaceGivesAnEmptyMesh) {
  const TerrainMesh mesh = buildTerrainMesh(Surface(), Vec(16, 0, 16));
  EXPECT_TRUE(mesh.empty());
  EXPECT_EQ(mesh.indexCount(), 0u);
}

} // namespace
