// What the world holds whatever a server sends, without a window: chunks
// only near the player and no more than the square around them, floods of
// far chunks turned away with two lines, and the voxels of unloaded chunks
// freed.

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "BurstLines.h"
#include "ColumnPacket.h"
#include "ModelFixture.h"
#include "OutputCapture.h"
#include "world/ChunkPackets.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int Radius = WorldModel::LoadRadius;

TSPackets::Prechunk prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load = true) {
  TSPackets::Prechunk packet;
  packet.chunkX = chunkX;
  packet.chunkZ = chunkZ;
  packet.mode = load ? 1 : 0;
  return packet;
}

// Stone up to a height that changes from block to block, so that the
// column's volume blocks hold data of their own.
TSPackets::MapChunk hillColumn(ChunkPosition chunk) {
  return columnPacket(chunk, [](int x, int y, int z) { return y < 40 + (x * 7 + z * 3) % 20; });
}

std::size_t volumeBytes(WorldModel& world) {
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  return world.volume().memoryInBytes();
}

// Ends the bursts of lines under way.
void endBursts(WorldModel& world) {
  world.update({0, 0, 0}, WorldModel::Clock::now() + BurstLines::QuietTime);
}

// How many chunks the lines say were ignored: one for each line about a
// chunk, and N for each "ignored N more chunks".
std::size_t ignoredChunks(const Lines& lines) {
  std::size_t count = 0;
  for (const std::string& line : lines) {
    std::size_t more = 0;
    if (line.rfind("ignored chunk ", 0) == 0)
      ++count;
    else if (std::sscanf(line.c_str(), "ignored %zu more chunks", &more) == 1)
      count += more;
  }
  return count;
}

// Once the server has placed the player, chunks farther than the load
// radius, announced or sent whole, are turned away; a burst of them is said
// in two lines. The window follows the player.
TEST(ChunkWindow, OnlyChunksNearThePlayerAreLoaded) {
  WorldModel world;
  OutputCapture capture;
  const ChunkPosition player(100, 0, -50);
  world.followPlayer(player);
  struct Case {
    const char* label;
    TSPackets::Prechunk announce;
    bool sendBlocks;
    ChunkPosition chunk;
    bool loaded;
  };
  const Case cases[] = {
      {"at the radius along x", prechunk(100 + Radius, -50), false, {100 + Radius, 0, -50}, true},
      {"at the radius's corner", prechunk(100 - Radius, -50 - Radius), true,
       {100 - Radius, 0, -50 - Radius}, true},
      {"one beyond along x", prechunk(101 + Radius, -50), false, {101 + Radius, 0, -50}, false},
      {"one beyond along z", prechunk(100, -49 + Radius), true, {100, 0, -49 + Radius}, false},
      {"far, sent whole", prechunk(0, 0, false), true, {0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.announce.mode == 1)
      ChunkPackets::apply(world, c.announce);
    if (c.sendBlocks)
      ChunkPackets::apply(world, hillColumn(c.chunk));
    EXPECT_EQ(world.isLoaded(c.chunk), c.loaded);
    const Vox::Vector3DInt32 corner = chunkLowerCorner(c.chunk);
    EXPECT_EQ(voxelAt(world, corner).m_type != 0, c.loaded && c.sendBlocks);
  }
  endBursts(world);
  EXPECT_EQ(capture.out(), (Lines{"ignored chunk 137, -50 beyond 36 columns of the player",
                                  "ignored 3 more chunks beyond 36 columns of the player"}));

  world.followPlayer({101, 0, -50});
  ChunkPackets::apply(world, prechunk(101 + Radius, -50));
  EXPECT_TRUE(world.isLoaded({101 + Radius, 0, -50}));
}

// 250,000 far chunks, ten bytes each on the wire, load nothing, take no
// memory and write two lines.
TEST(ChunkWindow, AFloodOfFarChunksLeavesTheWorldAsItWas) {
  WorldModel world;
  world.followPlayer({0, 0, 0});
  ChunkPackets::apply(world, prechunk(0, 0));
  OutputCapture capture;
  const int flood = 250000;
  for (int i = 0; i < flood; ++i)
    ChunkPackets::apply(world, prechunk(1000 + i % 500, 1000 + i / 500));
  endBursts(world);
  EXPECT_EQ(world.chunks().size(), 1u);
  EXPECT_EQ(volumeBytes(world), 0u);
  const Lines lines = capture.out();
  EXPECT_EQ(ignoredChunks(lines), std::size_t(flood));
  // One burst, unless the machine stood still for a second in the middle.
  EXPECT_LE(lines.size(), 4u);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "ignored chunk 1000, 1000 beyond 36 columns of the player");
}

// Before the server has placed the player there is no window yet: chunks
// load anywhere, as many as the window holds. Once the player is placed,
// a chunk near them takes the place of the one farthest away.
TEST(ChunkWindow, TheWorldHoldsNoMoreChunksThanTheWindow) {
  WorldModel world;
  OutputCapture capture;
  const int columns = int(WorldModel::MaxLoadedChunks) + 3;
  for (int i = 0; i < columns; ++i)
    ChunkPackets::apply(world, prechunk(i, 1000));
  endBursts(world);
  EXPECT_EQ(world.chunks().size(), WorldModel::MaxLoadedChunks);
  EXPECT_FALSE(world.isLoaded({columns - 1, 0, 1000}));
  EXPECT_EQ(capture.out(), (Lines{"ignored chunk 5329, 1000 beyond the 5329 the world holds",
                                  "ignored 2 more chunks beyond the 5329 the world holds"}));

  world.followPlayer({0, 0, 1000 + Radius});
  ChunkPackets::apply(world, prechunk(0, 1001 + Radius));
  EXPECT_TRUE(world.isLoaded({0, 0, 1001 + Radius}));
  EXPECT_FALSE(world.isLoaded({5328, 0, 1000}));
  EXPECT_EQ(world.chunks().size(), WorldModel::MaxLoadedChunks);
  ASSERT_FALSE(capture.out().empty());
  EXPECT_EQ(capture.out().back(),
            "unloaded chunk 5328, 1000 beyond 36 columns of the player to make room");
}

// A server that streams the columns ahead of a walking player and never
// unloads those behind: the world keeps the square around the player and
// lets the rest go, oldest side first.
TEST(ChunkWindow, AServerThatNeverUnloadsCannotPileChunksUp) {
  WorldModel world;
  OutputCapture capture;
  const int steps = 120;
  for (int x = 0; x < steps; ++x) {
    world.followPlayer({x, 0, 0});
    for (int z = -Radius; z <= Radius; ++z)
      ChunkPackets::apply(world, prechunk(x + Radius, z));
  }
  EXPECT_LE(world.chunks().size(), WorldModel::MaxLoadedChunks);
  const int last = steps - 1;
  for (int x = last - Radius; x <= last + Radius; ++x)
    EXPECT_TRUE(world.isLoaded({x, 0, 0})) << x;
  EXPECT_FALSE(world.isLoaded({Radius, 0, 0}));
  EXPECT_FALSE(capture.mentions("ignored"));
}

// The voxels of an unloaded chunk are freed at the next update, unless it
// is loaded again before: the volume's memory goes back to what it was.
TEST(ChunkWindow, UnloadingFreesTheChunksVoxels) {
  WorldModel world;
  // A neighbour in volume blocks of its own stays.
  const ChunkPosition kept(0, 0, 0), chunk(2, 0, 0);
  ChunkPackets::apply(world, prechunk(kept.x, kept.z));
  ChunkPackets::apply(world, hillColumn(kept));
  const std::size_t before = volumeBytes(world);
  struct Case {
    const char* label;
    bool loadAgain;
  };
  for (const Case& c : {Case{"unloaded", false}, Case{"loaded again before the update", true}}) {
    SCOPED_TRACE(c.label);
    ChunkPackets::apply(world, prechunk(chunk.x, chunk.z));
    ChunkPackets::apply(world, hillColumn(chunk));
    const std::size_t loaded = volumeBytes(world);
    EXPECT_GT(loaded, before);
    ChunkPackets::apply(world, prechunk(chunk.x, chunk.z, false));
    if (c.loadAgain)
      ChunkPackets::apply(world, prechunk(chunk.x, chunk.z));
    world.update({0, 0, 0});
    EXPECT_EQ(volumeBytes(world), c.loadAgain ? loaded : before);
    EXPECT_EQ(voxelAt(world, chunkLowerCorner(chunk)).m_type != 0, c.loadAgain);
    EXPECT_EQ(voxelAt(world, chunkLowerCorner(kept)).m_type, 1);
  }
}

// A chunk whose last solid block goes, or that the server sends again as
// air, is meshed again: the mesh has no surface, and its sections are open
// to sight, as nothing is in them.
TEST(ChunkWindow, AChunkSentAgainAsAirIsMeshedEmptyAndOpen) {
  WorldModel world;
  const ChunkPosition chunk(0, 0, 0), marker(9, 0, 9);
  ChunkPackets::apply(world, prechunk(chunk.x, chunk.z));
  ChunkPackets::apply(world, prechunk(marker.x, marker.z));
  ChunkPackets::apply(world, columnPacket(chunk, [](int, int, int) { return 1; }));
  std::map<ChunkPosition, Mesh> meshes = meshesUpTo(world, marker, afterEveryWait());
  ASSERT_EQ(meshes.count(chunk), 1u);
  EXPECT_FALSE(meshes.at(chunk)->empty());
  EXPECT_FALSE(meshes.at(chunk)->links[3] == SectionLinks::open());

  ChunkPackets::apply(world, columnPacket(chunk, [](int, int, int) { return 0; }));
  meshes = meshesUpTo(world, marker, afterEveryWait());
  ASSERT_EQ(meshes.count(chunk), 1u);
  EXPECT_TRUE(meshes.at(chunk)->empty());
  EXPECT_TRUE(meshes.at(chunk)->links == openColumn());
}

} // namespace
