#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "Entities/Mobs/Creeper.h"
#include "Entities/Mobs/Skeleton.h"
#include "Entities/Mobs/Unknown.h"
#include "Entities/Named.h"
#include "RunDirectory.h"

namespace {

struct ClassCase {
  const char* label;
  std::function<std::unique_ptr<Entities::Movable>()> make;
};

// The page spawns every kind through the base: each must name a mesh that
// the run directory's media folder holds (a missing one fails the spawn) and
// keep the scale that makes the meshes one to two blocks tall.
TEST(EntityClasses, EveryKindShowsAMeshOfTheRunDirectoryAtBlockScale) {
  const ClassCase cases[] = {
      {"Creeper", [] { return std::make_unique<Entities::Mobs::Creeper>(); }},
      {"Skeleton", [] { return std::make_unique<Entities::Mobs::Skeleton>(); }},
      {"Unknown", [] { return std::make_unique<Entities::Mobs::Unknown>(90); }},
      {"Named", [] { return std::make_unique<Entities::Named>("Alice"); }},
  };
  for (const ClassCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::unique_ptr<Entities::Movable> movable = c.make();
    const Entities::Renderable& renderable = *movable;
    EXPECT_TRUE(std::filesystem::is_regular_file(RunDirectory::client() / "media" /
                                                 renderable.getMeshName()))
        << renderable.getMeshName();
    EXPECT_DOUBLE_EQ(renderable.getMeshScale(), 0.01);
  }
  // The two known mobs can be told apart from each other and from the rest.
  const std::string creeper = Entities::Mobs::Creeper().getMeshName();
  const std::string skeleton = Entities::Mobs::Skeleton().getMeshName();
  const std::string unknown = Entities::Mobs::Unknown(90).getMeshName();
  EXPECT_NE(creeper, skeleton);
  EXPECT_NE(creeper, unknown);
  EXPECT_NE(skeleton, unknown);
}

} // namespace
