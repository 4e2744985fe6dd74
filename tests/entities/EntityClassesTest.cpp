#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Entities/InvalidEntity.h"
#include "Entities/Mobs/Creeper.h"
#include "Entities/Mobs/Skeleton.h"
#include "Entities/Mobs/Unknown.h"
#include "Entities/Named.h"

namespace {

struct ClassCase {
  const char* label;
  std::function<std::unique_ptr<Entities::Movable>()> make;
  const char* name;
  const char* meshName;
};

TEST(EntityClasses, NameMeshAndScaleThroughTheBase) {
  const ClassCase cases[] = {
      {"Creeper", [] { return std::make_unique<Entities::Mobs::Creeper>(); }, "Creeper",
       "robot.mesh"},
      {"Skeleton", [] { return std::make_unique<Entities::Mobs::Skeleton>(); }, "Skeleton",
       "ninja.mesh"},
      {"Unknown", [] { return std::make_unique<Entities::Mobs::Unknown>(90); }, "Unknown",
       "sphere.mesh"},
      {"Named", [] { return std::make_unique<Entities::Named>("Alice"); }, "testname",
       "sphere.mesh"},
      {"Movable", [] { return std::make_unique<Entities::Movable>(); }, "testname",
       "sphere.mesh"},
  };
  for (const ClassCase& c : cases) {
    SCOPED_TRACE(c.label);
    std::unique_ptr<Entities::Movable> movable = c.make();
    Entities::Renderable& renderable = *movable;
    EXPECT_EQ(renderable.getMeshName(), c.meshName);
    EXPECT_DOUBLE_EQ(renderable.getMeshScale(), 0.01);
    std::unique_ptr<Entities::Entity> entity = std::move(movable);
    EXPECT_EQ(entity->getName(), c.name);
  }
}

TEST(EntityClasses, NewEntityIsAllZeroWithoutNode) {
  const Entities::Named named;
  EXPECT_EQ(named.m_position, Vox::Vector3DInt32(0, 0, 0));
  EXPECT_EQ(named.m_velocity, Vox::Vector3DInt32(0, 0, 0));
  EXPECT_EQ(named.m_remainder, Vox::Vector3DInt32(0, 0, 0));
  EXPECT_EQ(named.m_yaw, 0);
  EXPECT_EQ(named.m_pitch, 0);
  EXPECT_EQ(named.m_sceneNode, nullptr);
  EXPECT_TRUE(named.m_name.empty());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(named.m_equipmentItems[i], 0);
    EXPECT_EQ(named.m_equipmentDamages[i], 0);
  }
}

TEST(EntityClasses, UnknownMobKeepsItsTypeByte) {
  EXPECT_EQ(Entities::Mobs::Unknown(90).m_mobType, 90);
  EXPECT_EQ(Entities::Mobs::Unknown(-3).m_mobType, -3);
}

TEST(EntityClasses, InvalidEntityIsARuntimeErrorWithItsMessage) {
  try {
    throw Entities::InvalidEntity();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Tried to access an entity which doesn't exist (yet|anymore)");
  }
}

} // namespace
