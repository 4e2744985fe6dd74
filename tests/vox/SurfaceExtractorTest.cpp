#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "MeshTopology.h"
#include "ReferenceMarchingCubes.h"
#include "TSVoxel.h"
#include "vox/LargeVolume.h"
#include "vox/SurfaceExtractor.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;
using Vec = Vox::Vector3DFloat;

class SurfaceExtractorTest : public testing::Test {
protected:
  // Sets a voxel relative to the lower corner of the regions extracted.
  void put(int x, int y, int z, std::uint8_t type) {
    m_volume.setVoxelAt(m_base + Vox::Vector3DInt32(x, y, z), TSVoxel(type));
  }

  TestMesh extract(Vox::Vector3DInt32 upper) {
    TestMesh mesh;
    Vox::SurfaceExtractor<Volume>(&m_volume, Vox::Region(m_base, m_base + upper), &mesh).execute();
    return mesh;
  }

  // Negative and unaligned, so that positions must be made relative.
  const Vox::Vector3DInt32 m_base{-10, 20, -3};
  Volume m_volume{8};
};

float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

std::tuple<float, float, float> asTuple(Vec v) { return {v.x, v.y, v.z}; }

Vec centroid(const TestMesh& mesh, std::size_t triangle) {
  const auto& i = mesh.getIndices();
  const auto& v = mesh.getVertices();
  return (v[i[3 * triangle]].getPosition() + v[i[3 * triangle + 1]].getPosition() +
          v[i[3 * triangle + 2]].getPosition()) *
         (1.0f / 3.0f);
}

TEST_F(SurfaceExtractorTest, SingleSolidVoxelGivesAClosedOctahedronFacingOutwards) {
  put(1, 1, 1, 4);
  const TestMesh mesh = extract({2, 2, 2});

  ASSERT_EQ(mesh.getNoOfVertices(), 6u);
  ASSERT_EQ(mesh.getNoOfIndices(), 24u);
  const Vec centre(1, 1, 1);
  std::set<std::tuple<float, float, float>> positions;
  for (const auto& vertex : mesh.getVertices()) {
    const Vec offset = vertex.getPosition() - centre;
    positions.insert(asTuple(vertex.getPosition()));
    EXPECT_EQ(asTuple(vertex.getNormal()), asTuple(offset * 2.0f));
    EXPECT_EQ(vertex.getMaterial(), 4.0f);
  }
  const std::set<std::tuple<float, float, float>> expected = {
      {0.5f, 1, 1}, {1.5f, 1, 1}, {1, 0.5f, 1}, {1, 1.5f, 1}, {1, 1, 0.5f}, {1, 1, 1.5f}};
  EXPECT_EQ(positions, expected);

  const EdgeUse use = edgeUse(mesh);
  EXPECT_EQ(use.boundary, 0u);
  EXPECT_EQ(use.overused, 0u);
  EXPECT_EQ(use.inconsistent, 0u);
  for (std::size_t t = 0; t < 8; ++t)
    EXPECT_GT(windingAlong(mesh, t, centroid(mesh, t) - centre), 0.0f) << "triangle " << t;

  ASSERT_EQ(mesh.m_vecLodRecords.size(), 1u);
  EXPECT_EQ(mesh.m_vecLodRecords.front().beginIndex, 0);
  EXPECT_EQ(mesh.m_vecLodRecords.front().endIndex, 24);
}

TEST_F(SurfaceExtractorTest, SlabGivesAFlatUpwardFacingSurfaceHalfwayToTheAir) {
  // Wider than the region, so that no side wall shows.
  for (int z = -1; z <= 5; ++z)
    for (int x = -1; x <= 5; ++x)
      for (int y = -1; y <= 1; ++y)
        put(x, y, z, 2);
  const TestMesh mesh = extract({4, 4, 4});

  EXPECT_EQ(mesh.getNoOfVertices(), 25u);
  EXPECT_EQ(mesh.getNoOfIndices(), 4u * 4u * 2u * 3u);
  for (const auto& vertex : mesh.getVertices()) {
    EXPECT_EQ(vertex.getPosition().y, 1.5f);
    EXPECT_EQ(asTuple(vertex.getNormal()), asTuple(Vec(0, 1, 0)));
    EXPECT_EQ(vertex.getMaterial(), 2.0f);
  }
  for (std::size_t t = 0; t < mesh.getNoOfIndices() / 3; ++t)
    EXPECT_GT(windingAlong(mesh, t, Vec(0, 1, 0)), 0.0f) << "triangle " << t;
  const EdgeUse use = edgeUse(mesh);
  EXPECT_EQ(use.overused, 0u);
  EXPECT_EQ(use.inconsistent, 0u);
}

TEST_F(SurfaceExtractorTest, TwoMaterialsMeetingKeepTheirOwnSidesOfOneClosedSurface) {
  put(1, 1, 1, 3);
  put(2, 1, 1, 5);
  const TestMesh mesh = extract({3, 2, 2});

  EXPECT_EQ(mesh.getNoOfVertices(), 10u);
  for (const auto& vertex : mesh.getVertices()) {
    const Vec p = vertex.getPosition();
    const bool onFirst = p.x < 1.5f;
    EXPECT_NE(p.x, 1.5f);
    EXPECT_EQ(vertex.getMaterial(), onFirst ? 3.0f : 5.0f) << p.x << ", " << p.y << ", " << p.z;
    const Vec solid(onFirst ? 1.0f : 2.0f, 1, 1);
    EXPECT_GT(dot(vertex.getNormal(), p - solid), 0.0f);
    EXPECT_NEAR(dot(vertex.getNormal(), vertex.getNormal()), 1.0f, 1e-6f);
  }
  const EdgeUse use = edgeUse(mesh);
  EXPECT_EQ(use.boundary, 0u);
  EXPECT_EQ(use.overused, 0u);
  EXPECT_EQ(use.inconsistent, 0u);
}

TEST_F(SurfaceExtractorTest, RandomBlobsInsideTheRegionAreClosedAndConsistentlyWound) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (int z = 1; z <= 6; ++z)
      for (int y = 1; y <= 6; ++y)
        for (int x = 1; x <= 6; ++x)
          put(x, y, z, random() % 2 ? std::uint8_t(1 + random() % 3) : 0);
    const TestMesh mesh = extract({7, 7, 7});
    ASSERT_GT(mesh.getNoOfVertices(), 0u);
    const EdgeUse use = edgeUse(mesh);
    EXPECT_EQ(use.boundary, 0u);
    EXPECT_EQ(use.overused, 0u);
    EXPECT_EQ(use.inconsistent, 0u);
    for (const auto& vertex : mesh.getVertices()) {
      const Vec p = vertex.getPosition();
      EXPECT_TRUE(std::fmod(p.x, 1.0f) == 0.5f || std::fmod(p.y, 1.0f) == 0.5f ||
                  std::fmod(p.z, 1.0f) == 0.5f);
      EXPECT_NE(vertex.getMaterial(), 0.0f);
    }
  }
}

TEST_F(SurfaceExtractorTest, UniformRegionsGiveEmptyMeshesAndAReusedMeshIsReplaced) {
  TestMesh mesh;
  const Vox::Region region(m_base, m_base + Vox::Vector3DInt32(3, 3, 3));
  put(1, 1, 1, 1);
  Vox::SurfaceExtractor<Volume>(&m_volume, region, &mesh).execute();
  const std::size_t vertices = mesh.getNoOfVertices();
  Vox::SurfaceExtractor<Volume>(&m_volume, region, &mesh).execute();
  EXPECT_EQ(mesh.getNoOfVertices(), vertices);
  EXPECT_EQ(mesh.m_vecLodRecords.size(), 1u);

  put(1, 1, 1, 0);
  Vox::SurfaceExtractor<Volume>(&m_volume, region, &mesh).execute();
  EXPECT_EQ(mesh.getNoOfVertices(), 0u);
  EXPECT_EQ(mesh.getNoOfIndices(), 0u);

  for (int z = -1; z <= 4; ++z)
    for (int y = -1; y <= 4; ++y)
      for (int x = -1; x <= 4; ++x)
        put(x, y, z, 7);
  Vox::SurfaceExtractor<Volume>(&m_volume, region, &mesh).execute();
  EXPECT_EQ(mesh.getNoOfVertices(), 0u);
}

using PositionKey = std::array<float, 9>;

// A triangle's positions, started at its smallest one so that the winding
// stays and the same triangle gives the same key wherever it was listed.
PositionKey positionKey(const ReferenceTriangle& triangle) {
  std::array<std::tuple<float, float, float>, 3> corners;
  for (int i = 0; i < 3; ++i)
    corners[i] = asTuple(triangle[i].getPosition());
  const int first = int(std::min_element(corners.begin(), corners.end()) - corners.begin());
  PositionKey key;
  for (int i = 0; i < 3; ++i)
    std::tie(key[3 * i], key[3 * i + 1], key[3 * i + 2]) = corners[(first + i) % 3];
  return key;
}

std::vector<ReferenceTriangle> triangles(const TestMesh& mesh) {
  std::vector<ReferenceTriangle> result;
  const auto& i = mesh.getIndices();
  const auto& v = mesh.getVertices();
  for (std::size_t t = 0; t + 2 < i.size(); t += 3)
    result.push_back({v[i[t]], v[i[t + 1]], v[i[t + 2]]});
  return result;
}

// Every triangle of `actual` matched with one of `expected` of the same
// positions and winding, with the same materials and normals; none left over.
void expectSameTriangles(const std::vector<ReferenceTriangle>& actual,
                         const std::vector<ReferenceTriangle>& expected) {
  EXPECT_EQ(actual.size(), expected.size());
  std::multimap<PositionKey, ReferenceTriangle> unmatched;
  for (const ReferenceTriangle& triangle : expected)
    unmatched.emplace(positionKey(triangle), triangle);
  std::size_t extra = 0;
  for (const ReferenceTriangle& triangle : actual) {
    const auto found = unmatched.find(positionKey(triangle));
    if (found == unmatched.end()) {
      ++extra;
      continue;
    }
    for (const Vox::PositionMaterialNormal& vertex : triangle) {
      const auto same = std::find_if(found->second.begin(), found->second.end(), [&](const auto& v) {
        return v.getPosition() == vertex.getPosition();
      });
      EXPECT_EQ(vertex.getMaterial(), same->getMaterial());
      EXPECT_NEAR(vertex.getNormal().x, same->getNormal().x, 1e-5f);
      EXPECT_NEAR(vertex.getNormal().y, same->getNormal().y, 1e-5f);
      EXPECT_NEAR(vertex.getNormal().z, same->getNormal().z, 1e-5f);
    }
    unmatched.erase(found);
  }
  EXPECT_EQ(extra, 0u) << "triangles the reference does not have";
  EXPECT_EQ(unmatched.size(), 0u) << "triangles of the reference missing";
}

// The extractor walks eight cells at a time past runs that are wholly inside
// or outside; a plain per-cell marching cubes over the same voxels must give
// the same triangles. The volumes are wider than 16 cells along every axis,
// with ground of random height (long solid and empty runs, whole columns of
// either), random blocks in the air and holes in the ground.
TEST_F(SurfaceExtractorTest, MatchesAPlainPerCellMarchingCubesOnRandomVolumes) {
  const Vox::Vector3DInt32 size(19, 41, 23);
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    // One voxel in 4, 16, 64 or 256 goes against the ground.
    const unsigned scatter = 4u << (2 * (seed % 4));
    for (int x = -1; x <= size.x + 1; ++x)
      for (int z = -1; z <= size.z + 1; ++z) {
        const int ground = int(random() % unsigned(size.y + 12)) - 6;
        for (int y = -1; y <= size.y + 1; ++y) {
          const bool solid = (y < ground) != (random() % scatter == 0);
          put(x, y, z, solid ? std::uint8_t(1 + random() % 5) : 0);
        }
      }
    const TestMesh mesh = extract(size);
    ASSERT_GT(mesh.getNoOfIndices(), 0u);
    expectSameTriangles(triangles(mesh),
                        referenceMarchingCubes(m_volume, Vox::Region(m_base, m_base + size)));
  }
}

} // namespace
