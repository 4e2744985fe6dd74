#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "MeshTopology.h"
#include "SampleWorld.h"

namespace {

class SampleTerrainMeshTest : public testing::Test {
protected:
  static void SetUpTestSuite() { s_sample = new SampleWorld(generateSampleWorld(1)); }
  static void TearDownTestSuite() {
    delete s_sample;
    s_sample = nullptr;
  }

  TestMesh meshOf(WorldVolume& world, ChunkPosition chunk) {
    copyChunkRegion(world, m_scratch, chunk);
    TestMesh mesh;
    extractChunk(m_scratch, chunk, mesh);
    return mesh;
  }

  static SampleWorld* s_sample;
  WorldVolume m_scratch{WorldVolumeBlockSide};
};

SampleWorld* SampleTerrainMeshTest::s_sample = nullptr;

TEST_F(SampleTerrainMeshTest, EveryColumnOfTheSampleGivesItsKnownTriangleCount) {
  WorldVolume world(WorldVolumeBlockSide);
  configureWorldVolume(world);
  for (const auto& [chunk, column] : s_sample->columns)
    ingestColumn(world, chunk, column);

  const std::pair<ChunkPosition, std::size_t> expected[] = {
      {{-1, 0, -1}, 2754}, {{-1, 0, 0}, 3086}, {{-1, 0, 1}, 4154},
      {{0, 0, -1}, 4292},  {{0, 0, 0}, 4016},  {{0, 0, 1}, 4880},
      {{1, 0, -1}, 5564},  {{1, 0, 0}, 5408},  {{1, 0, 1}, 6313},
  };
  for (const auto& [chunk, triangles] : expected) {
    SCOPED_TRACE(testing::Message() << "chunk " << chunk.x << ", " << chunk.z);
    const TestMesh mesh = meshOf(world, chunk);
    EXPECT_EQ(mesh.getNoOfIndices() / 3, triangles);
    const EdgeUse use = edgeUse(mesh);
    EXPECT_EQ(use.overused, 0u);
    EXPECT_EQ(use.inconsistent, 0u);
  }
}

// Solid blocks of the chunk's last x layer whose +x neighbour is air show a
// face half a block further out.
TEST_F(SampleTerrainMeshTest, ChunkBesideAnUnloadedNeighbourIsClosedAtTheBorder) {
  WorldVolume world(WorldVolumeBlockSide);
  const ChunkPosition centre(0, 0, 0);
  ingestColumn(world, centre, s_sample->columns.at(centre));
  const TestMesh mesh = meshOf(world, centre);

  std::set<std::pair<int, int>> wallFaces;
  for (const auto& vertex : mesh.getVertices()) {
    const Vox::Vector3DFloat p = vertex.getPosition();
    if (p.x == ChunkSizeX - 0.5f) {
      EXPECT_GT(vertex.getNormal().x, 0.0f);
      wallFaces.insert({int(p.y), int(p.z)});
    }
  }
  std::size_t solidBorderBlocks = 0;
  for (int y = 0; y < ChunkSizeY; ++y)
    for (int z = 0; z < ChunkSizeZ; ++z)
      if (world.getVoxelAt(ChunkSizeX - 1, y, z).m_type != 0) {
        ++solidBorderBlocks;
        EXPECT_TRUE(wallFaces.count({y, z})) << "no wall at y " << y << ", z " << z;
      }
  EXPECT_GT(solidBorderBlocks, 0u);
  EXPECT_GT(mesh.getNoOfIndices() / 3, 4016u);
}

} // namespace
