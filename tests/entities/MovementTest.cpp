#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "Entities/Mobs/Creeper.h"

namespace {

struct Step {
  std::int32_t position;
  std::int32_t remainder;
};

struct MovementCase {
  std::int32_t velocity;
  std::vector<Step> afterEachUpdate;
};

// Runs the same motion on each axis alone; the other two axes must stay put.
TEST(Movement, VelocityMovesWholeUnitsAndCarriesTheRemainder) {
  const MovementCase cases[] = {
      {1500, {{1, 500}, {3, 0}}},
      {-1500, {{-1, -500}, {-3, 0}}},
      {999, {{0, 999}, {1, 998}}},
      {-999, {{0, -999}, {-1, -998}}},
      {1000, {{1, 0}, {2, 0}, {3, 0}}},
      {0, {{0, 0}}},
  };
  for (const MovementCase& c : cases) {
    for (int axis = 0; axis < 3; ++axis) {
      SCOPED_TRACE(testing::Message() << "velocity " << c.velocity << " axis " << axis);
      Entities::Mobs::Creeper creeper;
      std::int32_t* velocity[] = {&creeper.m_velocity.x, &creeper.m_velocity.y,
                                  &creeper.m_velocity.z};
      *velocity[axis] = c.velocity;
      for (const Step& step : c.afterEachUpdate) {
        creeper.update();
        Vox::Vector3DInt32 position;
        Vox::Vector3DInt32 remainder;
        std::int32_t* positionAxis[] = {&position.x, &position.y, &position.z};
        std::int32_t* remainderAxis[] = {&remainder.x, &remainder.y, &remainder.z};
        *positionAxis[axis] = step.position;
        *remainderAxis[axis] = step.remainder;
        EXPECT_EQ(creeper.m_position, position);
        EXPECT_EQ(creeper.m_remainder, remainder);
        EXPECT_EQ(creeper.m_sceneNode, nullptr);
      }
    }
  }
}

TEST(Movement, StartsFromTheStoredPositionAndRemainder) {
  Entities::Mobs::Creeper creeper;
  creeper.m_position = {100, 2048, -64};
  creeper.m_remainder = {700, -700, 0};
  creeper.m_velocity = {400, -400, 32767};
  creeper.update();
  EXPECT_EQ(creeper.m_position, Vox::Vector3DInt32(101, 2047, -32));
  EXPECT_EQ(creeper.m_remainder, Vox::Vector3DInt32(100, -100, 767));
}

TEST(Movement, PositionAtTheEdgeOfTheRangeWrapsInsteadOfOverflowing) {
  Entities::Mobs::Creeper creeper;
  creeper.m_position.x = std::numeric_limits<std::int32_t>::max();
  creeper.m_velocity.x = 2000;
  creeper.update();
  EXPECT_EQ(creeper.m_position.x, std::numeric_limits<std::int32_t>::min() + 1);
  EXPECT_EQ(creeper.m_remainder.x, 0);
}

} // namespace
