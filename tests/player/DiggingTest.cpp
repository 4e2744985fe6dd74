#include <gtest/gtest.h>

#include "player/Digging.h"

namespace {

using Kind = Digging::Event::Kind;

const AimedBlock Dirt{{3, 64, 3}, BlockFace::Top};
const AimedBlock Beside{{4, 64, 3}, BlockFace::Top};
const std::uint8_t DirtType = 3; // 15 ticks by hand

// Ticks of holding the button on the block until the dig finishes; -1 when
// it never does within a minute.
int ticksToFinish(Digging& digging, const AimedBlock& block, std::uint8_t type, bool creative) {
  for (int tick = 0; tick < 1200; ++tick)
    for (const Digging::Event& event : digging.tick(true, block, type, creative))
      if (event.kind == Kind::Finished)
        return tick;
  return -1;
}

TEST(Digging, StartsThenFinishesAfterTheBlocksDigTime) {
  Digging digging;
  EXPECT_EQ(digging.tick(true, Dirt, DirtType, false),
            (std::vector<Digging::Event>{{Kind::Started, Dirt}}));
  for (int tick = 1; tick < 15; ++tick)
    EXPECT_TRUE(digging.tick(true, Dirt, DirtType, false).empty()) << tick;
  EXPECT_NEAR(*digging.progress(), 14 / 15.0, 1e-6);
  EXPECT_EQ(digging.tick(true, Dirt, DirtType, false),
            (std::vector<Digging::Event>{{Kind::Finished, Dirt}}));
  EXPECT_TRUE(digging.tick(true, Dirt, DirtType, false).empty()) << "finished once";
}

TEST(Digging, DigTimesFollowTheBlockAndTheMode) {
  const struct {
    std::uint8_t type;
    bool creative;
    int ticks;
  } cases[] = {{3, false, 15},  {1, false, 150}, {37, false, 0}, {50, false, 0},
               {1, true, 0},    {7, false, -1},  {7, true, 0}};
  for (const auto& c : cases) {
    Digging digging;
    EXPECT_EQ(ticksToFinish(digging, Dirt, c.type, c.creative), c.ticks)
        << int(c.type) << (c.creative ? " creative" : "");
  }
}

// Letting go or aiming at another block ends the dig without finishing it;
// the next dig starts from nothing.
TEST(Digging, ReleasingOrAimingAwayEndsTheDigUnfinished) {
  Digging digging;
  for (int tick = 0; tick < 10; ++tick)
    digging.tick(true, Dirt, DirtType, false);
  EXPECT_TRUE(digging.tick(false, Dirt, DirtType, false).empty());
  EXPECT_FALSE(digging.progress());
  EXPECT_EQ(ticksToFinish(digging, Dirt, DirtType, false), 15);

  Digging moved;
  for (int tick = 0; tick < 10; ++tick)
    moved.tick(true, Dirt, DirtType, false);
  EXPECT_EQ(moved.tick(true, Beside, DirtType, false),
            (std::vector<Digging::Event>{{Kind::Started, Beside}}));
  EXPECT_TRUE(moved.tick(true, std::nullopt, DirtType, false).empty());
  EXPECT_FALSE(moved.target());

  // Another face of the same block goes on with the dig.
  Digging turned;
  for (int tick = 0; tick < 10; ++tick)
    turned.tick(true, Dirt, DirtType, false);
  EXPECT_TRUE(turned.tick(true, AimedBlock{Dirt.block, BlockFace::North}, DirtType, false).empty());
}

} // namespace
