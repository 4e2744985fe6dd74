#include <gtest/gtest.h>

#include <set>

#include "ColumnWatcher.h"
#include "RunningServer.h"
#include "server/MobHerd.h"

TEST(LoginSequence, HandShakeLoginSpawnThenColumnsAroundTheGroundFirst) {
  RunningServer server;
  const auto spawn = server.spawn();
  EXPECT_EQ(spawn.x, 8);
  EXPECT_EQ(spawn.z, 8);
  EXPECT_EQ(spawn.y, Server::surfaceY(Terrain::TerrainGenerator(testOptions().seed), 8, 8));

  ScriptedClient client(server.port());
  EXPECT_EQ(client.logIn("alice"), "-");

  const auto login = client.expect<TSPackets::Login>();
  EXPECT_EQ(login.entityId, 1);
  EXPECT_EQ(login.mapSeed, testOptions().seed);

  const auto point = client.expect<TSPackets::SpawnPoint>();
  EXPECT_EQ(point.x, spawn.x);
  EXPECT_EQ(point.y, spawn.y);
  EXPECT_EQ(point.z, spawn.z);

  EXPECT_GE(client.expect<TSPackets::TimeUpdate>().time, 6000);
  EXPECT_NE(client.expect<TSPackets::ChatMessage>().message.find("alice"), std::string::npos);

  std::set<int> mobTypes;
  for (int i = 0; i < testOptions().mobs; ++i) {
    const auto mob = client.expect<TSPackets::MobSpawn>();
    mobTypes.insert(mob.mobType);
    EXPECT_EQ(mob.metadata, std::vector<char>{0});
  }
  EXPECT_EQ(mobTypes, (std::set<int>{50, 51, 90}));

  ColumnWatcher watcher(client, testOptions().seed);
  watcher.readLoads(25);
  ASSERT_TRUE(watcher.position);
  EXPECT_EQ(watcher.loadsBeforePosition, 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_LE(std::abs(watcher.loads[i].first), 1);
    EXPECT_LE(std::abs(watcher.loads[i].second), 1);
  }
  std::set<std::pair<int, int>> columns(watcher.loads.begin(), watcher.loads.end());
  EXPECT_EQ(columns.size(), 25u);
  EXPECT_TRUE(watcher.unloads.empty());

  // The client's reader takes the server's order: x, stance, y, z.
  EXPECT_DOUBLE_EQ(watcher.position->x, 8.5);
  EXPECT_DOUBLE_EQ(watcher.position->y, spawn.y);
  EXPECT_DOUBLE_EQ(watcher.position->stance, spawn.y + 1.62);
  EXPECT_DOUBLE_EQ(watcher.position->z, 8.5);
  EXPECT_TRUE(watcher.position->onGround);

  EXPECT_TRUE(server.waitForLog("connection 1 (alice) logged in as entity 1"));
}

TEST(LoginSequence, TimeUpdatesKeepComingAndAdvance) {
  RunningServer server;
  ScriptedClient client(server.port());
  client.logIn("alice");
  const auto first = client.until<TSPackets::TimeUpdate>().time;
  const auto second = client.until<TSPackets::TimeUpdate>().time;
  EXPECT_GT(second, first);
}

TEST(LoginSequence, QuittingIsLoggedAndTheServerGoesOn) {
  RunningServer server;
  {
    ScriptedClient client(server.port());
    client.logIn("alice");
    client.expect<TSPackets::Login>();
    TSPackets::Disconnect quit;
    quit.reason = "Quitting";
    client.send(quit);
    EXPECT_TRUE(server.waitForLog("connection 1 (alice) dropped: quit: Quitting"));
  }
  ScriptedClient again(server.port());
  again.logIn("alice");
  EXPECT_EQ(again.expect<TSPackets::Login>().entityId, 2);
}

TEST(LoginSequence, OnceStopsWhenTheFirstPlayerHasLeft) {
  auto options = testOptions();
  options.once = true;
  RunningServer server(options);
  {
    ScriptedClient early(server.port());
    early.close();
    EXPECT_TRUE(server.waitForLog("connection 1 dropped: disconnected"));
  }
  ScriptedClient client(server.port());
  client.logIn("alice");
  client.expect<TSPackets::Login>();
  EXPECT_FALSE(server.waitForLog("server stopping", std::chrono::seconds(0)));
  client.close();
  EXPECT_TRUE(server.waitForLog("server stopping"));
  EXPECT_THROW(ScriptedClient{server.port()}, asio::system_error);
}
