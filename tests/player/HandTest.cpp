#include <gtest/gtest.h>

#include "TestBlocks.h"
#include "player/Hand.h"

namespace {

// A stone cube from (0, 64, 0) to (2, 66, 2) on a floor: a press of the
// place button, looking at it from each side, sends the aimed block, the
// face and the held item, with a swing.
TEST(Hand, APlaceCarriesTheAimedBlockItsFaceAndTheItem) {
  TestBlocks blocks;
  blocks.floorAt64();
  for (int x = 0; x < 3; ++x)
    for (int y = 64; y < 67; ++y)
      for (int z = 0; z < 3; ++z)
        blocks.set(x, y, z, 1);
  const struct {
    const char* view;
    Vox::Vector3DDouble eye;
    double yaw, pitch;
    HeldItem held;
    int x, y, z;
    BlockFace face;
  } cases[] = {
      {"from -z, empty hand", {1.5, 65.5, -2}, 0, 0, {}, 1, 65, 0, BlockFace::North},
      {"from +x, a stack of dirt", {5, 65.5, 1.5}, 90, 0, {3, 64, 0}, 2, 65, 1, BlockFace::East},
      {"from above", {1.5, 69, 1.5}, 0, 90, {4, 1, 0}, 1, 66, 1, BlockFace::Top},
      {"the floor, looking down", {-3.5, 65.62, -3.5}, 0, 90, {}, -4, 63, -4, BlockFace::Top},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.view);
    Hand hand;
    const std::optional<AimedBlock> aimed =
        aimAt(c.eye, lookDirection(c.yaw, c.pitch), HandReach, blocks);
    ASSERT_TRUE(aimed);
    Hand::Buttons buttons;
    buttons.place = true;
    const Hand::Packets packets = hand.tick(buttons, aimed, 1, false, c.held);
    ASSERT_TRUE(packets.place);
    EXPECT_EQ(packets.place->x, c.x);
    EXPECT_EQ(int(packets.place->y), c.y);
    EXPECT_EQ(packets.place->z, c.z);
    EXPECT_EQ(int(packets.place->direction), int(c.face));
    EXPECT_EQ(packets.place->itemId, c.held.id);
    EXPECT_EQ(int(packets.place->itemCount), int(c.held.count));
    EXPECT_TRUE(packets.swing);
    EXPECT_TRUE(packets.digs.empty());
  }
}

// Nothing aimed at: no packet and no swing. While a dig goes on, the place
// button does not put a block where the dig is.
TEST(Hand, NoPlaceWithoutAnAimOrDuringADig) {
  Hand hand;
  Hand::Buttons place;
  place.place = true;
  Hand::Packets packets = hand.tick(place, std::nullopt, 0, false, {});
  EXPECT_FALSE(packets.place);
  EXPECT_FALSE(packets.swing);

  const AimedBlock aimed{{3, 64, 3}, BlockFace::Top};
  Hand::Buttons digAndPlace;
  digAndPlace.dig = digAndPlace.place = true;
  packets = hand.tick(digAndPlace, aimed, 1, false, {});
  ASSERT_EQ(packets.digs.size(), 1u);
  EXPECT_EQ(int(packets.digs[0].status), 0);
  EXPECT_EQ(int(packets.digs[0].face), 1);
  EXPECT_FALSE(packets.place);
  EXPECT_TRUE(hand.digProgress());
}

} // namespace
