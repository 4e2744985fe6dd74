#include <gtest/gtest.h>

#include <memory>

#include <OgreSceneNode.h>

#include "Entities/Mobs/Skeleton.h"
#include "Entities/Named.h"
#include "HeadlessScene.h"

namespace {

class NodePlacement : public testing::Test {
protected:
  static void SetUpTestSuite() { s_scene = new HeadlessScene("entities_test.log"); }
  static void TearDownTestSuite() { delete s_scene; }

  void SetUp() override { m_node = s_scene->scene().getRootSceneNode()->createChildSceneNode(); }
  void TearDown() override { s_scene->scene().destroySceneNode(m_node); }

  static HeadlessScene* s_scene;
  Ogre::SceneNode* m_node = nullptr;
};

HeadlessScene* NodePlacement::s_scene = nullptr;

// Shows a fixed position, to check the base's placement on its own.
class FixedRenderable : public Entities::Renderable {
public:
  std::string getMeshName() const override { return "fixed.mesh"; }
  Vox::Vector3DInt32 getPosition() const override { return {320, 2048, -64}; }
};

TEST_F(NodePlacement, NodeStandsAtPositionOverThirtyTwo) {
  Entities::Named named("Alice");
  named.m_position = {32, 64, -16};
  named.m_sceneNode = m_node;
  named.update();
  EXPECT_EQ(m_node->getPosition(), Ogre::Vector3(1.0f, 2.0f, -0.5f));
}

TEST_F(NodePlacement, NodeFollowsTheMoveOfTheSameUpdate) {
  Entities::Mobs::Skeleton skeleton;
  skeleton.m_position = {31, 0, 1};
  skeleton.m_velocity = {1000, 0, -1500};
  skeleton.m_sceneNode = m_node;
  skeleton.update();
  EXPECT_EQ(m_node->getPosition(), Ogre::Vector3(1.0f, 0.0f, 0.0f));
}

// The protocol's yaw: 0 faces +z, a quarter turn (64 steps of 256) faces -x.
// The mesh faces +z when unturned; the pitch moves only a head, which a node
// without a mesh does not have.
TEST_F(NodePlacement, NodeTurnsToTheYawAndKeepsItsScale) {
  m_node->setScale(0.01f, 0.01f, 0.01f);
  const struct {
    signed char yaw;
    Ogre::Vector3 facing;
  } cases[] = {{0, Ogre::Vector3::UNIT_Z},
               {64, Ogre::Vector3::NEGATIVE_UNIT_X},
               {-128, Ogre::Vector3::NEGATIVE_UNIT_Z},
               {-64, Ogre::Vector3::UNIT_X},
               {32, Ogre::Vector3(-1, 0, 1).normalisedCopy()}};
  for (const auto& c : cases) {
    Entities::Named named;
    named.m_yaw = c.yaw;
    named.m_pitch = -32;
    named.m_sceneNode = m_node;
    named.update();
    const Ogre::Vector3 facing = m_node->getOrientation() * Ogre::Vector3::UNIT_Z;
    EXPECT_TRUE(facing.positionEquals(c.facing, 1e-5f))
        << "yaw " << int(c.yaw) << " faces " << facing;
    EXPECT_EQ(m_node->getScale(), Ogre::Vector3(0.01f, 0.01f, 0.01f));
  }
}

TEST_F(NodePlacement, RenderablePlacesTheNodeAtItsReportedPosition) {
  FixedRenderable renderable;
  renderable.m_sceneNode = m_node;
  renderable.update();
  EXPECT_EQ(m_node->getPosition(), Ogre::Vector3(10.0f, 64.0f, -2.0f));
}

} // namespace
