#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <OgreManualObject.h>

#include "ChunkRenderer.h"
#include "HeadlessScene.h"

namespace {

using Vertex = Vox::PositionMaterialNormal;
using Vec = Vox::Vector3DFloat;

struct DrawnVertex {
  Vec position;
  Vec normal;
  float texture[4];
};

// One manual object per test, drawn with the chunk renderer and read back
// from its system-memory vertex buffer.
class ChunkRendering : public testing::Test {
protected:
  static void SetUpTestSuite() { s_scene = new HeadlessScene("chunk_render_test.log"); }
  static void TearDownTestSuite() { delete s_scene; }

  void SetUp() override { m_object = s_scene->scene().createManualObject(); }
  void TearDown() override { s_scene->scene().destroyManualObject(m_object); }

  std::vector<DrawnVertex> draw(const Vertex& a, const Vertex& b, const Vertex& c, Vec origin) {
    m_object->clear();
    m_object->begin("BaseWhite", Ogre::RenderOperation::OT_TRIANGLE_LIST);
    drawMeshTriangle(m_object, a, b, c, origin);
    m_object->end();
    return readBack();
  }

  std::vector<DrawnVertex> readBack() {
    Ogre::VertexData* data = m_object->getSections()[0]->getRenderOperation()->vertexData;
    const Ogre::VertexDeclaration* declaration = data->vertexDeclaration;
    const Ogre::VertexElement* position = declaration->findElementBySemantic(Ogre::VES_POSITION);
    const Ogre::VertexElement* normal = declaration->findElementBySemantic(Ogre::VES_NORMAL);
    const Ogre::VertexElement* texture =
        declaration->findElementBySemantic(Ogre::VES_TEXTURE_COORDINATES);
    EXPECT_EQ(texture->getType(), Ogre::VET_FLOAT4);
    Ogre::HardwareVertexBufferSharedPtr buffer = data->vertexBufferBinding->getBuffer(0);
    const auto* base = static_cast<const unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
    std::vector<DrawnVertex> vertices(data->vertexCount);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const unsigned char* v = base + i * buffer->getVertexSize();
      const auto* p = reinterpret_cast<const float*>(v + position->getOffset());
      const auto* n = reinterpret_cast<const float*>(v + normal->getOffset());
      const auto* t = reinterpret_cast<const float*>(v + texture->getOffset());
      vertices[i] = {{p[0], p[1], p[2]}, {n[0], n[1], n[2]}, {t[0], t[1], t[2], t[3]}};
    }
    buffer->unlock();
    return vertices;
  }

  static HeadlessScene* s_scene;
  Ogre::ManualObject* m_object = nullptr;
};

HeadlessScene* ChunkRendering::s_scene = nullptr;

Vertex corner(float x, float y, float z, float material) {
  Vertex v;
  v.setPosition(Vec(x, y, z));
  v.setNormal(Vec(9, 9, 9));
  v.setMaterial(material);
  return v;
}

double area(const DrawnVertex& a, const DrawnVertex& b, const DrawnVertex& c) {
  const Vec u = b.position - a.position, w = c.position - a.position;
  const double x = u.y * w.z - u.z * w.y, y = u.z * w.x - u.x * w.z, z = u.x * w.y - u.y * w.x;
  return 0.5 * std::sqrt(x * x + y * y + z * z);
}

// A right triangle of area 2 in the plane y = 0, counter-clockwise seen from
// above.
const Vec A(0, 0, 0), B(0, 0, 2), C(2, 0, 0);

TEST_F(ChunkRendering, SplitsByBlockTypeAndKeepsTheArea) {
  struct Case {
    float ma, mb, mc;
    std::vector<float> layers; // per output triangle
  };
  const std::vector<Case> cases = {
      {1, 1, 1, {3}},
      {2, 2, 3, {1, 1, 5, 5}},
      {2, 3, 2, {1, 1, 5, 5}},
      {3, 2, 2, {1, 1, 5, 5}},
      {1, 4, 7, {3, 3, 3, 3, 3, 3}},
      {13, 8, 2, {1, 1, 4, 4, 6, 6}},
      {5, 5, 200, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ma << "," << c.mb << "," << c.mc);
    const auto drawn = draw(corner(A.x, A.y, A.z, c.ma), corner(B.x, B.y, B.z, c.mb),
                            corner(C.x, C.y, C.z, c.mc), Vec(0, 0, 0));
    ASSERT_EQ(drawn.size(), 3 * c.layers.size());
    double total = 0;
    for (std::size_t t = 0; t < c.layers.size(); ++t) {
      for (int k = 0; k < 3; ++k)
        EXPECT_EQ(drawn[3 * t + k].texture[3], c.layers[t]) << "triangle " << t;
      total += area(drawn[3 * t], drawn[3 * t + 1], drawn[3 * t + 2]);
    }
    EXPECT_NEAR(total, 2.0, 1e-5);
  }
}

TEST_F(ChunkRendering, TwoEqualCornersKeepTwoThirdsOfTheArea) {
  const auto drawn = draw(corner(A.x, A.y, A.z, 2), corner(B.x, B.y, B.z, 2),
                          corner(C.x, C.y, C.z, 3), Vec(0, 0, 0));
  ASSERT_EQ(drawn.size(), 12u);
  const double sideAB = area(drawn[0], drawn[1], drawn[2]) + area(drawn[3], drawn[4], drawn[5]);
  EXPECT_NEAR(sideAB, 4.0 / 3.0, 1e-5);
  // The sub-triangles around C start at C.
  EXPECT_EQ(drawn[6].position, C);
  EXPECT_EQ(drawn[9].position, C);
}

TEST_F(ChunkRendering, EveryVertexCarriesTheFaceNormal) {
  // (A - B) x (C - B) for this triangle points down, -y.
  const auto drawn = draw(corner(A.x, A.y, A.z, 1), corner(B.x, B.y, B.z, 2),
                          corner(C.x, C.y, C.z, 3), Vec(0, 0, 0));
  ASSERT_EQ(drawn.size(), 18u);
  for (const DrawnVertex& v : drawn)
    EXPECT_EQ(v.normal, Vec(0, -1, 0));
}

TEST_F(ChunkRendering, TinyTriangleKeepsItsUnnormalisedNormal) {
  const auto drawn = draw(corner(0, 0, 0, 1), corner(0, 0, 0.001f, 1), corner(0.001f, 0, 0, 1),
                          Vec(0, 0, 0));
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_NEAR(drawn[0].normal.y, -1e-6f, 1e-9f);
}

TEST_F(ChunkRendering, PositionsAndTextureCoordinatesAreInWorldSpace) {
  // Chunk (-1, 0, 2) has its lower corner at (-16, 0, 32).
  const auto drawn = draw(corner(0.5f, 64, 3, 8), corner(0.5f, 64, 4, 8), corner(1.5f, 64, 3, 8),
                          Vec(-16, 0, 32));
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].position, Vec(-15.5f, 64, 35));
  EXPECT_EQ(drawn[0].texture[0], -15.5f);
  EXPECT_EQ(drawn[0].texture[1], 64.0f);
  EXPECT_EQ(drawn[0].texture[2], 35.0f);
  EXPECT_EQ(drawn[0].texture[3], 4.0f);
}

TEST_F(ChunkRendering, MaterialsRoundToTheNearestBlockType) {
  EXPECT_EQ(layerOfBlockType(255), 0);
  const auto drawn = draw(corner(A.x, A.y, A.z, 0.6f), corner(B.x, B.y, B.z, 1.4f),
                          corner(C.x, C.y, C.z, 1.0f), Vec(0, 0, 0));
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].texture[3], 3.0f);
}

} // namespace
