#include <gtest/gtest.h>

#include "ColumnWatcher.h"
#include "PlayerActions.h"
#include "RunningServer.h"

namespace {

void expectChange(ScriptedClient& client, int x, int y, int z, int type) {
  const auto change = client.until<TSPackets::BlockChange>();
  EXPECT_EQ(change.x, x);
  EXPECT_EQ(change.y, y);
  EXPECT_EQ(change.z, z);
  EXPECT_EQ(change.blockType, type);
}

// The block type at (x, y, z) of the spawn column as a map chunk carries it.
int blockInColumn(const TSPackets::MapChunk& column, int x, int y, int z) {
  return column.type[std::size_t(((x & 15) * 16 + (z & 15)) * 128 + y)];
}

} // namespace

// Alice digs the ground she stands on and builds beside her with the stone
// she holds: both players see it, a dig out of reach is refused with the
// block as it is, an empty hand builds nothing (she is shown the block as it
// is), and a player who comes later gets the changed world.
TEST(Blocks, DigsAndBuildsChangeTheWorldForEveryone) {
  auto options = testOptions();
  options.viewRadius = 1;
  RunningServer server(options);
  const auto spawn = server.spawn();
  const int ground = spawn.y - 1;
  const Terrain::TerrainGenerator terrain(options.seed);

  ScriptedClient alice(server.port());
  alice.logIn("alice");
  ColumnWatcher aliceWorld(alice, options.seed);
  aliceWorld.readLoads(9);
  ScriptedClient bob(server.port());
  bob.logIn("bob");
  ColumnWatcher bobWorld(bob, options.seed);
  bobWorld.readLoads(9);

  alice.send(digAt(0, 8, ground, 8));
  alice.send(digAt(2, 8, ground, 8));
  expectChange(alice, 8, ground, 8, 0);
  expectChange(bob, 8, ground, 8, 0);

  alice.send(placeOnTop(9, ground, 8, -1));
  expectChange(alice, 9, spawn.y, 8, 0);
  alice.send(placeOnTop(9, ground, 8, 1));
  expectChange(alice, 9, spawn.y, 8, 1);
  expectChange(bob, 9, spawn.y, 8, 1);

  alice.send(digAt(2, 8, ground, 30));
  expectChange(alice, 8, ground, 30, terrain.block(8, ground, 30));
  EXPECT_TRUE(server.waitForLog("may not dig 8, " + std::to_string(ground) + ", 30"));

  ScriptedClient carol(server.port());
  carol.logIn("carol");
  TSPackets::MapChunk column;
  do
    column = carol.until<TSPackets::MapChunk>();
  while (column.x != 0 || column.z != 0);
  EXPECT_EQ(blockInColumn(column, 8, ground, 8), 0);
  EXPECT_EQ(blockInColumn(column, 9, spawn.y, 8), 1);
  EXPECT_EQ(blockInColumn(column, 10, ground, 8), terrain.block(10, ground, 8));
}
