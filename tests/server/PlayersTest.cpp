#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ColumnWatcher.h"
#include "RunningServer.h"

namespace {

TSPackets::PlayerPosAndLook positionAt(double x, double y, double z, float yaw) {
  TSPackets::PlayerPosAndLook position;
  position.x = x;
  position.y = y;
  position.stance = y + 1.62;
  position.z = z;
  position.yaw = yaw;
  return position;
}

} // namespace

TEST(Players, EachSeesTheOtherMoveAndLeave) {
  auto options = testOptions();
  options.viewRadius = 1;
  RunningServer server(options);
  const auto spawn = server.spawn();

  ScriptedClient alice(server.port());
  alice.logIn("alice");
  const int aliceId = alice.expect<TSPackets::Login>().entityId;
  ColumnWatcher aliceWorld(alice, options.seed);
  aliceWorld.readLoads(9);

  ScriptedClient bob(server.port());
  bob.logIn("bob");
  const int bobId = bob.expect<TSPackets::Login>().entityId;
  EXPECT_NE(aliceId, bobId);

  const auto seenByBob = bob.until<TSPackets::NamedEntitySpawn>();
  EXPECT_EQ(seenByBob.entityId, aliceId);
  EXPECT_EQ(seenByBob.name, "alice");
  EXPECT_EQ(seenByBob.x, 8 * 32 + 16);
  EXPECT_EQ(seenByBob.y, spawn.y * 32);
  EXPECT_EQ(seenByBob.z, 8 * 32 + 16);

  const auto seenByAlice = alice.until<TSPackets::NamedEntitySpawn>();
  EXPECT_EQ(seenByAlice.entityId, bobId);
  EXPECT_EQ(seenByAlice.name, "bob");
  EXPECT_EQ(alice.until<TSPackets::ChatMessage>().message, "bob joined the world");

  // A step of one block east and a quarter turn: a relative move.
  bob.send(positionAt(9.5, spawn.y, 8.5, 90));
  const auto step = alice.until<TSPackets::EntityLookAndMove>();
  EXPECT_EQ(step.entityId, bobId);
  EXPECT_EQ(step.dx, 32);
  EXPECT_EQ(step.dy, 0);
  EXPECT_EQ(step.dz, 0);
  EXPECT_EQ(step.yaw, 64);

  // Too far for one relative move: a teleport to the absolute position.
  bob.send(positionAt(100.5, 80, -20.25, 90));
  const auto jump = alice.until<TSPackets::EntityTeleport>();
  EXPECT_EQ(jump.entityId, bobId);
  EXPECT_EQ(jump.x, 3216);
  EXPECT_EQ(jump.y, 2560);
  EXPECT_EQ(jump.z, -648);

  TSPackets::Disconnect quit;
  quit.reason = "bye";
  bob.send(quit);
  TSPackets::DestroyEntity gone;
  do
    gone = alice.until<TSPackets::DestroyEntity>();
  while (gone.entityId != bobId);
  EXPECT_EQ(alice.until<TSPackets::ChatMessage>().message, "bob left the world");
}

// Each player's list holds every player online, itself included, with the
// ping its last keep-alive answer took; one who leaves is listed offline.
TEST(Players, ListEachOtherWithTheirPings) {
  RunningServer server(testOptions());
  ScriptedClient alice(server.port());
  alice.logIn("alice");
  const auto aliceSelf = alice.until<TSPackets::PlayerListItem>();
  EXPECT_EQ(aliceSelf.playerName, "alice");
  EXPECT_TRUE(aliceSelf.online);

  ScriptedClient bob(server.port());
  bob.logIn("bob");
  std::set<std::string> bobSees;
  for (int i = 0; i < 2; ++i) {
    const auto item = bob.until<TSPackets::PlayerListItem>();
    EXPECT_TRUE(item.online);
    bobSees.insert(item.playerName);
  }
  EXPECT_EQ(bobSees, (std::set<std::string>{"alice", "bob"}));
  const auto bobArrives = alice.until<TSPackets::PlayerListItem>();
  EXPECT_EQ(bobArrives.playerName, "bob");
  EXPECT_TRUE(bobArrives.online);

  bob.send(bob.until<TSPackets::Ping>());
  TSPackets::PlayerListItem measured;
  do
    measured = alice.until<TSPackets::PlayerListItem>();
  while (measured.playerName != "bob");
  EXPECT_TRUE(measured.online);
  EXPECT_GE(measured.ping, 0);

  TSPackets::Disconnect quit;
  quit.reason = "bye";
  bob.send(quit);
  TSPackets::PlayerListItem gone;
  do
    gone = alice.until<TSPackets::PlayerListItem>();
  while (gone.online);
  EXPECT_EQ(gone.playerName, "bob");
}
