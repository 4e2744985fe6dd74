#include <gtest/gtest.h>

#include <optional>

#include "ColumnWatcher.h"
#include "PlayerActions.h"
#include "RunningServer.h"

// Falls cost health, a dead player does nothing until it respawns, and a
// respawn is a new world at the spawn point with full health.

namespace {

Server::ServerOptions smallWorld() {
  auto options = testOptions();
  options.viewRadius = 1;
  return options;
}

// A column near the spawn point with water over its ground: where the feet
// rest in the water, on the ground.
std::optional<std::pair<int, int>> waterNear(const Terrain::TerrainGenerator& terrain, int& y) {
  for (int x = -64; x <= 64; ++x)
    for (int z = -64; z <= 64; ++z) {
      y = terrain.height(x, z) + 1;
      if (terrain.block(x, y, z) == Terrain::Water)
        return std::make_pair(x, z);
    }
  return std::nullopt;
}

} // namespace

// From `height` blocks above the ground down onto it: the first three
// blocks are free, each block or part of one after them costs a point.
TEST(Health, FallsCostHealthByTheirHeight) {
  RunningServer server(smallWorld());
  const auto spawn = server.spawn();
  const struct {
    double height;
    int health;
  } falls[] = {{1.25, 20}, {3, 20}, {4, 19}, {4.5, 18}, {10, 13}, {25, 0}};
  int player = 0;
  for (const auto& fall : falls) {
    const std::string name = "faller" + std::to_string(++player);
    ScriptedClient client(server.port());
    client.logIn(name);
    client.until<TSPackets::UpdateHealth>();
    client.send(positionAt(8.5, spawn.y + fall.height, 8.5, false));
    client.send(positionAt(8.5, spawn.y + fall.height / 2, 8.5, false));
    client.send(positionAt(8.5, spawn.y, 8.5, true));
    const auto after = settle(client, name);
    std::optional<TSPackets::UpdateHealth> health;
    for (const auto& received : after)
      if (received.id == TSPackets::UpdateHealth::Id)
        health = std::any_cast<TSPackets::UpdateHealth>(received.packet);
    if (fall.health == 20) {
      EXPECT_FALSE(health) << fall.height;
      continue;
    }
    ASSERT_TRUE(health) << fall.height;
    EXPECT_EQ(health->health, fall.health) << fall.height;
    EXPECT_EQ(health->food, 20) << fall.height;
  }
  EXPECT_TRUE(server.waitForLog("(faller5) fell 10 blocks: health 13"));
  EXPECT_TRUE(server.waitForLog("(faller6) died"));
}

// A fall counts from the highest point since the player stood on the ground;
// the player-only packet lands as well as a position; water breaks the fall.
TEST(Health, AFallRunsFromItsTopAndWaterBreaksIt) {
  const auto options = smallWorld();
  RunningServer server(options);
  const auto spawn = server.spawn();
  ScriptedClient client(server.port());
  client.logIn("alice");
  client.until<TSPackets::UpdateHealth>();

  // Up ten blocks, down five, and landing with the player-only packet
  // where the last position was: ten blocks.
  client.send(positionAt(8.5, spawn.y + 10, 8.5, false));
  client.send(positionAt(8.5, spawn.y + 5, 8.5, false));
  client.send(positionAt(8.5, spawn.y, 8.5, false));
  TSPackets::Player landed;
  landed.onGround = true;
  client.send(landed);
  EXPECT_EQ(client.until<TSPackets::UpdateHealth>().health, 13);

  int waterY = 0;
  const auto water = waterNear(Terrain::TerrainGenerator(options.seed), waterY);
  ASSERT_TRUE(water);
  const double x = water->first + 0.5;
  const double z = water->second + 0.5;
  client.send(positionAt(x, waterY + 20, z, false));
  client.send(positionAt(x, waterY, z, true));
  EXPECT_FALSE(anyOf<TSPackets::UpdateHealth>(settle(client, "alice")));
}

// A dead player's digs and places do nothing; its respawn brings the
// Respawn with the login's world, the columns around the spawn point from
// scratch, the place and full health, with the items it had. Reports of
// the old place that cross the respawn are not taken for a fall.
TEST(Health, TheDeadRespawnAtTheSpawnPoint) {
  const auto options = smallWorld();
  RunningServer server(options);
  const auto spawn = server.spawn();
  ScriptedClient client(server.port());
  client.logIn("alice");
  const auto login = client.until<TSPackets::Login>();
  ColumnWatcher(client, options.seed).readLoads(9);

  client.send(TSPackets::Respawn{});
  const double x = 40.5;
  client.send(positionAt(x, 100, 8.5, false));
  client.send(positionAt(x, 70, 8.5, true));
  EXPECT_EQ(client.until<TSPackets::UpdateHealth>().health, 0);
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) asked for a respawn while alive"));

  client.send(digAt(2, 8, spawn.y - 1, 8));
  client.send(placeOnTop(8, spawn.y, 9, 1));
  const auto whileDead = settle(client, "alice");
  EXPECT_FALSE(anyOf<TSPackets::BlockChange>(whileDead));
  EXPECT_FALSE(anyOf<TSPackets::SetSlot>(whileDead));
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) is dead: dig ignored"));
  EXPECT_TRUE(server.waitForLog("connection 1 (alice) is dead: place ignored"));

  client.send(TSPackets::Respawn{});
  // Sent before the client heard of the respawn: a fall of ten blocks at the
  // old place.
  client.send(positionAt(x, 80, 8.5, false));
  client.send(positionAt(x, 70, 8.5, true));

  const auto respawn = client.until<TSPackets::Respawn>();
  EXPECT_EQ(respawn.dimension, login.dimension);
  EXPECT_EQ(respawn.difficulty, login.difficulty);
  EXPECT_EQ(respawn.creativeMode, login.serverMode);
  EXPECT_EQ(respawn.worldHeight, 128);
  EXPECT_EQ(respawn.mapSeed, options.seed);
  ColumnWatcher world(client, options.seed);
  world.readLoads(9);
  const auto place = world.position ? *world.position : client.until<TSPackets::PlayerPosAndLook>();
  EXPECT_DOUBLE_EQ(place.x, spawn.x + 0.5);
  EXPECT_DOUBLE_EQ(place.y, spawn.y);
  EXPECT_DOUBLE_EQ(place.z, spawn.z + 0.5);
  EXPECT_EQ(client.expect<TSPackets::UpdateHealth>().health, 20);
  EXPECT_TRUE(
      server.waitForLog("connection 1 (alice) respawned at 8, " + std::to_string(spawn.y) + ", 8"));

  // The echo of the place starts the new life, with the items of the old
  // one and the full health: a fall of four blocks leaves 19.
  client.send(positionAt(place.x, place.y, place.z, true));
  client.send(placeOnTop(9, spawn.y - 1, 8, 1));
  const auto used = client.until<TSPackets::SetSlot>();
  EXPECT_EQ(used.slot, 36);
  EXPECT_EQ(used.itemCount, 63);
  client.send(positionAt(place.x, place.y + 4, place.z, false));
  client.send(positionAt(place.x, place.y, place.z, true));
  EXPECT_EQ(client.until<TSPackets::UpdateHealth>().health, 19);
}
