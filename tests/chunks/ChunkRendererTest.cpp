#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <OgreManualObject.h>
#include <OgreSceneNode.h>

#include "ChunkRenderer.h"
#include "HeadlessScene.h"

namespace {

// A chunk object as the world's view makes it before its first mesh: a new
// manual object without sections, in a scene without a window, whose
// system-memory buffers can be read back.
class ChunkRendering : public testing::Test {
protected:
  static void SetUpTestSuite() { s_scene = new HeadlessScene("chunk_render_test.log"); }
  static void TearDownTestSuite() { delete s_scene; }

  void SetUp() override {
    m_object = s_scene->scene().createManualObject();
    s_scene->scene().getRootSceneNode()->createChildSceneNode()->attachObject(m_object);
  }
  void TearDown() override {
    Ogre::SceneNode* node = m_object->getParentSceneNode();
    s_scene->scene().destroyManualObject(m_object);
    s_scene->scene().destroySceneNode(node);
  }

  Ogre::RenderOperation& operation(std::size_t section) {
    return *m_object->getSections().at(section)->getRenderOperation();
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

SectionMeshes sectionsWith(std::size_t section, const TerrainMesh& mesh) {
  SectionMeshes meshes;
  meshes[section] = mesh;
  return meshes;
}

TEST_F(ChunkRendering, BuffersHoldTheMeshAsItIsAndTheBoundsAreItsOwn) {
  const TerrainMesh mesh = squareMesh(-200, 300);
  const SectionBounds bounds = drawTerrainSections(m_object, sectionsWith(4, mesh));

  ASSERT_EQ(m_object->getSections().size(), std::size_t(SectionsPerColumn));
  Ogre::RenderOperation& op = operation(4);
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
  // The other sections draw nothing.
  for (std::size_t section : {0, 1, 7}) {
    EXPECT_EQ(operation(section).vertexData->vertexCount, 0u) << section;
    EXPECT_EQ(operation(section).indexData->indexCount, 0u) << section;
    EXPECT_TRUE(bounds[section].isNull()) << section;
  }

  // The object's bounds are the mesh's, which culling tests.
  m_object->getParentSceneNode()->_update(true, false);
  const Ogre::AxisAlignedBox& box = m_object->getWorldBoundingBox(true);
  EXPECT_EQ(box.getMinimum(), Ogre::Vector3(-200, 64, 300));
  EXPECT_EQ(box.getMaximum(), Ogre::Vector3(-199, 64.5f, 301));
  EXPECT_EQ(bounds[4], box);
  EXPECT_EQ(m_object->getParentSceneNode()->_getWorldAABB().getMinimum(), box.getMinimum());
}

TEST_F(ChunkRendering, ANewMeshReplacesEverySectionWithWiderIndicesWhenNeeded) {
  SectionMeshes first = sectionsWith(0, squareMesh(0, 0));
  first[3] = squareMesh(0, 0);
  drawTerrainSections(m_object, first);
  TerrainMesh wide = squareMesh(32, 16);
  wide.longIndices.assign(wide.shortIndices.begin(), wide.shortIndices.end());
  wide.shortIndices.clear();
  SectionMeshes second = sectionsWith(3, wide);
  second[5] = squareMesh(32, 20);
  drawTerrainSections(m_object, second);

  EXPECT_EQ(m_object->getSections().size(), std::size_t(SectionsPerColumn));
  Ogre::RenderOperation& op = operation(3);
  EXPECT_EQ(op.indexData->indexBuffer->getType(), Ogre::HardwareIndexBuffer::IT_32BIT);
  EXPECT_EQ(readBack<std::uint32_t>(*op.indexData->indexBuffer, 6), wide.longIndices);
  EXPECT_EQ(op.indexData->indexCount, 6u);
  EXPECT_EQ(operation(0).vertexData->vertexCount, 0u) << "section 0 is empty now";
  EXPECT_EQ(m_object->getBoundingBox().getMinimum(), Ogre::Vector3(32, 64, 16));
  EXPECT_EQ(m_object->getBoundingBox().getMaximum(), Ogre::Vector3(33, 64.5f, 21));
}

TEST_F(ChunkRendering, HiddenSectionsDrawNothingUntilShownAgain) {
  SectionMeshes meshes = sectionsWith(2, squareMesh(0, 0));
  meshes[6] = squareMesh(0, 0);
  drawTerrainSections(m_object, meshes);
  showTerrainSections(m_object, SectionMask().set(6));
  EXPECT_EQ(operation(2).indexData->indexCount, 0u);
  EXPECT_EQ(operation(6).indexData->indexCount, 6u);
  showTerrainSections(m_object, SectionMask().set());
  EXPECT_EQ(operation(2).indexData->indexCount, 6u);
  EXPECT_EQ(operation(1).indexData->indexCount, 0u) << "an empty section stays empty";
  EXPECT_EQ(operation(2).indexData->indexBuffer->getNumIndexes(), 6u) << "buffers are kept";
}

} // namespace
