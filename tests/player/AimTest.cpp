#include <gtest/gtest.h>

#include <string>

#include "TestBlocks.h"
#include "player/Aim.h"

namespace {

using Vox::Vector3DDouble;
using Vox::Vector3DInt32;

std::string describe(const std::optional<AimedBlock>& aimed) {
  if (!aimed)
    return "nothing";
  return std::to_string(aimed->block.x) + ", " + std::to_string(aimed->block.y) + ", " +
         std::to_string(aimed->block.z) + " face " + std::to_string(int(aimed->face));
}

// A cube of stone from (0, 64, 0) to (2, 66, 2), a flower on top of it, a
// pool of water beside it: the eye looks at it from each side.
TEST(Aim, FindsTheFirstBlockAndTheFaceTheLookEnters) {
  TestBlocks blocks;
  for (int x = 0; x < 3; ++x)
    for (int y = 64; y < 67; ++y)
      for (int z = 0; z < 3; ++z)
        blocks.set(x, y, z, 1);
  blocks.set(1, 67, 1, 37);
  for (int z = 0; z < 3; ++z)
    blocks.set(-1, 65, z, 9);
  const struct {
    const char* view;
    Vector3DDouble eye;
    double yaw, pitch;
    std::optional<AimedBlock> expected;
  } cases[] = {
      {"from -z, level", {1.5, 65.5, -2}, 0, 0, AimedBlock{{1, 65, 0}, BlockFace::North}},
      {"from +z", {1.5, 65.5, 5}, 180, 0, AimedBlock{{1, 65, 2}, BlockFace::South}},
      {"from +x", {5, 65.5, 1.5}, 90, 0, AimedBlock{{2, 65, 1}, BlockFace::East}},
      {"from -x, through water", {-3, 65.5, 1.5}, 270, 0, AimedBlock{{0, 65, 1}, BlockFace::West}},
      {"from above, onto the flower", {1.5, 70, 1.5}, 0, 90, AimedBlock{{1, 67, 1}, BlockFace::Top}},
      {"from above, beside the flower", {0.5, 70, 0.5}, 0, 90, AimedBlock{{0, 66, 0}, BlockFace::Top}},
      {"from below", {1.5, 62, 1.5}, 0, -90, AimedBlock{{1, 64, 1}, BlockFace::Bottom}},
      {"down at a slant", {1.5, 68.5, -1.5}, 0, 45, AimedBlock{{1, 66, 0}, BlockFace::Top}},
      {"beyond reach", {1.5, 65.5, -5}, 0, 0, std::nullopt},
      {"away from it", {1.5, 65.5, -2}, 180, 0, std::nullopt},
      {"along the edge of two blocks", {3, 65.5, -2}, 0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<AimedBlock> aimed =
        aimAt(c.eye, lookDirection(c.yaw, c.pitch), HandReach, blocks);
    EXPECT_TRUE(aimed == c.expected)
        << c.view << ": " << describe(aimed) << " instead of " << describe(c.expected);
  }
}

TEST(Aim, AColumnThatHasNotArrivedEndsTheAim) {
  TestBlocks blocks;
  blocks.set(0, 65, 3, 1);
  blocks.missingColumn(0, 2);
  EXPECT_FALSE(aimAt({0.5, 65.5, 0.5}, lookDirection(0, 0), HandReach, blocks));
}

TEST(Aim, ABlockPlacedAgainstAFaceGoesBeyondIt) {
  const Vector3DInt32 block(4, 64, -2);
  const struct {
    BlockFace face;
    Vector3DInt32 beside;
  } cases[] = {{BlockFace::Bottom, {4, 63, -2}}, {BlockFace::Top, {4, 65, -2}},
               {BlockFace::North, {4, 64, -3}},  {BlockFace::South, {4, 64, -1}},
               {BlockFace::West, {3, 64, -2}},   {BlockFace::East, {5, 64, -2}}};
  for (const auto& c : cases)
    EXPECT_EQ(besideFace({block, c.face}), c.beside) << int(c.face);
}

} // namespace
