#include <gtest/gtest.h>

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
