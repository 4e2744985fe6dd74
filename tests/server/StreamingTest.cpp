#include <gtest/gtest.h>

#include <set>

#include "ColumnWatcher.h"
#include "RunningServer.h"

namespace {

TSPackets::PlayerPosAndLook positionAt(double x, double z) {
  TSPackets::PlayerPosAndLook position;
  position.x = x;
  position.y = 70;
  position.stance = 71.62;
  position.z = z;
  return position;
}

using Columns = std::set<std::pair<int, int>>;

Columns squareRow(int x, int zLow, int zHigh) {
  Columns row;
  for (int z = zLow; z <= zHigh; ++z)
    row.insert({x, z});
  return row;
}

} // namespace

TEST(Streaming, CrossingAColumnBorderLoadsAheadAndUnloadsBehind) {
  RunningServer server;
  ScriptedClient client(server.port());
  client.logIn("walker");
  ColumnWatcher watcher(client, testOptions().seed);
  watcher.readLoads(25);

  client.send(positionAt(16.5, 8.5));
  watcher.readLoads(5);
  EXPECT_EQ(Columns(watcher.unloads.begin(), watcher.unloads.end()), squareRow(-2, -2, 2));
  EXPECT_EQ(watcher.unloads.size(), 5u);
  EXPECT_EQ(Columns(watcher.loads.begin() + 25, watcher.loads.end()), squareRow(3, -2, 2));
  EXPECT_TRUE(server.waitForLog("connection 1 (walker) entered column 1, 0"));

  // Moving within the column changes nothing; a jump far away replaces
  // everything, unloads first.
  client.send(positionAt(20.5, 3.5));
  client.send(positionAt(-1000.5, 500.5));
  watcher.readLoads(25);
  EXPECT_EQ(watcher.unloads.size(), 30u);
  const Columns last(watcher.loads.end() - 25, watcher.loads.end());
  for (const auto& column : last) {
    EXPECT_LE(std::abs(column.first - -63), 2);
    EXPECT_LE(std::abs(column.second - 31), 2);
  }
  EXPECT_EQ(last.size(), 25u);
}
