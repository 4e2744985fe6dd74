#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <OgreManualObject.h>
#include <OgreSceneNode.h>

#include "ChunkRenderer.h"
#include "HeadlessScene.h"

namespace {

// A chunk object as loadChunk leaves it: a placeholder triangle near the
// origin, in a scene without a window, whose system-memory buffers can be
// read back.
class ChunkRendering : public testing::Test {
protected:
  static void SetUpTestSuite() { s_scene = new HeadlessScene("chunk_render_test.log"); }
  static void TearDownTestSuite() { delete s_scene; }

  void SetUp() override {
    m_object = s_scene->scene().createManualObject();
    s_scene->scene().getRootSceneNode()->createChildSceneNode()->attachObject(m_object);
    m_object->begin("BaseWhite", Ogre::RenderOperation::OT_TRIANGLE_LIST);
    for (float corner : {1.0f, 2.0f, 5.0f}) {
      m_object->position(corner, corner + 1, corner + 2);
      m_object->normal(0, 1, 0);
      m_object->textureCoord(0, 0, 0, 0);
    }
    m_object->end();
  }
  void TearDown() override {
    Ogre::SceneNode* node = m_object->getParentSceneNode();
    s_scene->scene().destroyManualObject(m_object);
    s_scene->scene().destroySceneNode(node);
  }

  Ogre::RenderOperation& operation() {
    return *m_object->getSections().front()->getRenderOperation();
  }

  template <typename T> std::vector<T> readBack(Ogre::HardwareBuffer& buffer, std::size_t count) {
    std::vector<T> values(count);
    EXPECT_EQ(buffer.getSizeInBytes(), count * sizeof(T));
    buffer.readData(0, count * sizeof(T), values.data());
    return values;
  }

  static HeadlessScene* s_scene;
  Ogre::ManualObject* m_object = nullptr;
};

HeadlessScene* ChunkRendering::s_scene = nullptr;

TerrainMesh squareMesh(float x, float z) {
  TerrainMesh mesh;
  mesh.vertices = {{x, 64, z, {0, 0, 0}, 3},
                   {x, 64.5f, z + 1, {0, 0, 0}, 3},
                   {x + 1, 64, z + 1, {0, 0, 0}, 3},
                   {x + 1, 64, z, {0, 0, 0}, 3}};
  mesh.shortIndices = {0, 1, 2, 0, 2, 3};
  mesh.lower = {x, 64, z};
  mesh.upper = {x + 1, 64.5f, z + 1};
  return mesh;
}

TEST_F(ChunkRendering, BuffersHoldTheMeshAsItIsAndTheBoundsAreItsOwn) {
  const TerrainMesh mesh = squareMesh(-200, 300);
  drawTerrainMesh(m_object, mesh);

  Ogre::RenderOperation& op = operation();
  ASSERT_TRUE(op.useIndexes);
  EXPECT_EQ(op.indexData->indexBuffer->getType(), Ogre::HardwareIndexBuffer::IT_16BIT);
  EXPECT_EQ(readBack<std::uint16_t>(*op.indexData->indexBuffer, 6), mesh.shortIndices);
  EXPECT_EQ(op.vertexData->vertexCount, 4u);
  const std::vector<TerrainVertex> vertices =
      readBack<TerrainVertex>(*op.vertexData->vertexBufferBinding->getBuffer(0), 4);
  EXPECT_EQ(std::memcmp(vertices.data(), mesh.vertices.data(), 4 * sizeof(TerrainVertex)), 0);
  const Ogre::VertexDeclaration* declaration = op.vertexData->vertexDeclaration;
  EXPECT_EQ(declaration->getVertexSize(0), sizeof(TerrainVertex));
  EXPECT_EQ(declaration->findElementBySemantic(Ogre::VES_NORMAL), nullptr);
  EXPECT_EQ(declaration->findElementBySemantic(Ogre::VES_DIFFUSE), nullptr);

  // The placeholder near the origin is not part of the bounds any more.
  m_object->getParentSceneNode()->_update(true, false);
  const Ogre::AxisAlignedBox& box = m_object->getWorldBoundingBox(true);
  EXPECT_EQ(box.getMinimum(), Ogre::Vector3(-200, 64, 300));
  EXPECT_EQ(box.getMaximum(), Ogre::Vector3(-199, 64.5f, 301));
  EXPECT_EQ(m_object->getParentSceneNode()->_getWorldAABB().getMinimum(), box.getMinimum());
}

TEST_F(ChunkRendering, ANewMeshReplacesTheLastOneWithWiderIndicesWhenNeeded) {
  drawTerrainMesh(m_object, squareMesh(0, 0));
  TerrainMesh wide = squareMesh(32, 16);
  wide.longIndices.assign(wide.shortIndices.begin(), wide.shortIndices.end());
  wide.shortIndices.clear();
  drawTerrainMesh(m_object, wide);

  Ogre::RenderOperation& op = operation();
  EXPECT_EQ(op.indexData->indexBuffer->getType(), Ogre::HardwareIndexBuffer::IT_32BIT);
  EXPECT_EQ(readBack<std::uint32_t>(*op.indexData->indexBuffer, 6), wide.longIndices);
  EXPECT_EQ(op.indexData->indexCount, 6u);
  EXPECT_EQ(m_object->getBoundingBox().getMinimum(), Ogre::Vector3(32, 64, 16));
}

} // namespace
