#include <array>
#include <map>

#include <gtest/gtest.h>

#include "TerrainMaterial.h"
#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace {
using Pixel = TestShell::Pixel;

class FrameReadback : public testing::Test {
protected:
  void SetUp() override {
    std::filesystem::current_path(ScratchRunDirectory::clientRunDirectory());
    shell = std::make_unique<TestShell>();
    shell->cameraNode()->setPosition(6, 0, 16);
    shell->setCameraDirection(Ogre::Vector3(0, 0, -1));
  }

  // Where a world point lands in the window.
  std::pair<int, int> project(const Ogre::Vector3& world) const {
    const Ogre::Camera* camera = shell->camera();
    const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * world);
    return {static_cast<int>((clip.x + 1) / 2 * shell->m_window->getWidth()),
            static_cast<int>((1 - clip.y) / 2 * shell->m_window->getHeight())};
  }

  Pixel colourAround(const Ogre::Vector3& world, int half) {
    const auto [x, y] = project(world);
    return shell->meanColour(x - half, y - half, 2 * half, 2 * half);
  }

  std::unique_ptr<TestShell> shell;
};

bool isBackground(const Pixel& p) { return p.r + p.g + p.b < 30; }

int difference(const Pixel& a, const Pixel& b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}
}  // namespace

// Each picture fills a whole layer of the terrain texture.
TEST_F(FrameReadback, TerrainPicturesAreFullLayers) {
  for (const char* name : {"Abstract_15.jpg", "tm006_COLOR.jpg", "Snow_01_UV_H_CM_1.jpg", "Rock_02_UV_H_CM_1.jpg",
                           "Blue_18.jpg", "tm003_COLOR.jpg", "tm007_COLOR.jpg"}) {
    Ogre::Image picture;
    picture.load(name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    EXPECT_EQ(picture.getWidth(), TerrainTextureSize) << name;
    EXPECT_EQ(picture.getHeight(), TerrainTextureSize) << name;
  }
}

// One square per layer of the terrain texture, drawn the way chunk meshes
// are: world position and layer in texture coordinate set 0, face normal.
TEST_F(FrameReadback, TerrainLayersShowTheirOwnMaterials) {
  createTerrainMaterial();
  Ogre::ManualObject* squares = shell->createManualObject();
  squares->begin("TextureArray", Ogre::RenderOperation::OT_TRIANGLE_LIST);
  for (int layer = 0; layer < 7; ++layer) {
    const float left = 2.0f * layer;
    const std::array<Ogre::Vector3, 6> corners = {
        Ogre::Vector3(left, -0.8f, 0), Ogre::Vector3(left + 1.6f, -0.8f, 0), Ogre::Vector3(left + 1.6f, 0.8f, 0),
        Ogre::Vector3(left, -0.8f, 0), Ogre::Vector3(left + 1.6f, 0.8f, 0),  Ogre::Vector3(left, 0.8f, 0)};
    for (const Ogre::Vector3& corner : corners) {
      squares->position(corner);
      // Chunk faces point into the ground; the shading must not care.
      squares->normal(0, 0, layer % 2 ? 1.0f : -1.0f);
      squares->textureCoord(corner.x, corner.y, corner.z, static_cast<float>(layer));
    }
  }
  squares->end();
  ASSERT_TRUE(shell->update(true));

  std::array<Pixel, 7> colours;
  for (int layer = 0; layer < 7; ++layer) {
    colours[layer] = colourAround(Ogre::Vector3(2.0f * layer + 0.8f, 0, 0), 15);
    SCOPED_TRACE(testing::Message() << "layer " << layer << " " << colours[layer]);
    EXPECT_FALSE(isBackground(colours[layer]));
  }
  const Pixel neutral = colours[0], grass = colours[1], snow = colours[2], stone = colours[3],
              water = colours[4], dirt = colours[5], gravel = colours[6];
  EXPECT_LT(difference(neutral, Pixel{neutral.g, neutral.g, neutral.g}), 8) << neutral;
  EXPECT_GT(grass.g, grass.r + 20) << grass;
  EXPECT_GT(grass.g, grass.b + 20) << grass;
  EXPECT_GT(std::min({snow.r, snow.g, snow.b}), 140) << snow;
  EXPECT_GE(snow.b, snow.r) << snow;
  EXPECT_LT(difference(stone, Pixel{stone.g, stone.g, stone.g}), 10) << stone;
  EXPECT_GT(water.b, water.r + 40) << water;
  EXPECT_GT(dirt.r, dirt.g) << dirt;
  EXPECT_GT(dirt.g, dirt.b) << dirt;
  EXPECT_GE(gravel.r, gravel.b) << gravel;
  for (int a = 0; a < 7; ++a) {
    for (int b = a + 1; b < 7; ++b) {
      EXPECT_GT(difference(colours[a], colours[b]), 10) << "layers " << a << " and " << b;
    }
  }
  EXPECT_TRUE(isBackground(shell->pixelAt(2, 2)));
}

// The entity meshes stand on their origin and are one to two blocks tall at
// the scale the client shows them at.
TEST_F(FrameReadback, EntityMeshesStandOnTheGroundAndKeepTheirColours) {
  Ogre::SceneNode* root = shell->m_sceneManager->getRootSceneNode();
  const unsigned short nodesBefore = root->numChildren();
  const std::map<std::string, Ogre::Vector3> places = {
      {"robot.mesh", {2, -1, 0}}, {"ninja.mesh", {6, -1, 0}}, {"sphere.mesh", {10, -1, 0}}};
  std::map<std::string, Ogre::SceneNode*> nodes;
  for (const auto& [mesh, place] : places) {
    Ogre::SceneNode* node = shell->createMesh(mesh);
    EXPECT_EQ(node->getParentSceneNode(), root);
    EXPECT_EQ(node->getPosition(), Ogre::Vector3::ZERO);
    node->setPosition(place);
    node->setScale(Ogre::Vector3(0.01f));
    const Ogre::AxisAlignedBox box = node->getAttachedObject(0)->getBoundingBox();
    // The engine pads mesh bounds by a hundredth of their size.
    EXPECT_NEAR(box.getMinimum().y, 0.0f, 0.011f * box.getSize().y) << mesh << " " << box;
    EXPECT_GE(box.getSize().y * 0.01f, 1.0f) << mesh;
    EXPECT_LE(box.getSize().y * 0.01f, 2.0f) << mesh;
    nodes[mesh] = node;
  }
  ASSERT_TRUE(shell->update(true));

  const Pixel robot = colourAround(Ogre::Vector3(2, 0.05f, 0.2f), 3);
  const Pixel ninja = colourAround(Ogre::Vector3(6, 0.05f, 0.13f), 3);
  const Pixel sphere = colourAround(Ogre::Vector3(10, -0.2f, 0.8f), 3);
  EXPECT_GT(robot.b, robot.r + 15) << robot;    // steel blue torso
  EXPECT_FALSE(isBackground(ninja)) << ninja;   // dark cloth, not black
  EXPECT_LT(ninja.r + ninja.g + ninja.b, 200) << ninja;
  EXPECT_GT(sphere.r, sphere.b + 40) << sphere;  // golden ball

  for (const auto& [mesh, node] : nodes) shell->eraseMesh(node);
  EXPECT_EQ(root->numChildren(), nodesBefore);
  EXPECT_TRUE(shell->m_sceneManager->getMovableObjects("Entity").empty());
  ASSERT_TRUE(shell->update(true));
  EXPECT_TRUE(isBackground(colourAround(Ogre::Vector3(2, 0.05f, 0.2f), 3)));

  Ogre::ManualObject* object = shell->createManualObject();
  EXPECT_EQ(root->numChildren(), nodesBefore + 1);
  EXPECT_EQ(object->getParentSceneNode()->getParent(), root);
  shell->eraseManualObject(object);
  EXPECT_EQ(root->numChildren(), nodesBefore);
}
