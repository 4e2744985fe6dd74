// The chunk packets' effects on the world model, without a window: the
// blocks they write, the chunks they load, the meshes they cause and the
// lines for what the world cannot hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ColumnPacket.h"
#include "ModelFixture.h"
#include "OutputCapture.h"
#include "world/ChunkPackets.h"

namespace {

using Lines = std::vector<std::string>;

TSPackets::Prechunk prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load) {
  TSPackets::Prechunk packet;
  packet.chunkX = chunkX;
  packet.chunkZ = chunkZ;
  packet.mode = load ? 1 : 0;
  return packet;
}

TSPackets::MapChunk fullColumn(std::int32_t x, std::int16_t y, std::int32_t z) {
  TSPackets::MapChunk chunk = columnPacket({0, 0, 0}, [](int, int, int) { return 0; });
  chunk.x = x;
  chunk.y = y;
  chunk.z = z;
  return chunk;
}

TSPackets::BlockChange blockChange(std::int32_t x, int y, std::int32_t z, int type) {
  TSPackets::BlockChange change;
  change.x = x;
  change.y = static_cast<signed char>(y);
  change.z = z;
  change.blockType = static_cast<signed char>(type);
  return change;
}

struct Record {
  int x, y, z, type;
};

// As the packet holds its records: y of 128 and above reads as a negative
// byte.
TSPackets::MultiBlockChange multiBlockChange(std::int32_t chunkX, std::int32_t chunkZ,
                                             const std::vector<Record>& records) {
  TSPackets::MultiBlockChange change;
  change.chunkX = chunkX;
  change.chunkZ = chunkZ;
  change.count = static_cast<short>(records.size());
  for (const Record& r : records) {
    change.blockX.push_back(static_cast<signed char>(r.x));
    change.blockY.push_back(static_cast<signed char>(r.y));
    change.blockZ.push_back(static_cast<signed char>(r.z));
    change.types.push_back(static_cast<signed char>(r.type));
    change.metadata.push_back(0);
  }
  return change;
}

TEST(ChunkPackets, MapChunkLandsInPayloadOrderAndIsMeshed) {
  WorldModel world;
  OutputCapture capture;
  const ChunkPosition chunk(-2, 0, 3), marker(20, 0, 20);
  ChunkPackets::apply(world, prechunk(chunk.x, chunk.z, true));
  ChunkPackets::apply(world, prechunk(marker.x, marker.z, true));
  // A floor of stone five blocks high, and four marked blocks.
  TSPackets::MapChunk column = columnPacket(chunk, [](int, int y, int) { return y < 5 ? 1 : 0; });
  column.type[0] = 7;
  column.type[1] = 2;
  column.type[128] = 3;
  column.type[2048] = static_cast<signed char>(0xFF);
  ChunkPackets::apply(world, column);

  EXPECT_EQ(voxelAt(world, {-32, 0, 48}).m_type, 7);
  EXPECT_EQ(voxelAt(world, {-32, 1, 48}).m_type, 2);
  EXPECT_EQ(voxelAt(world, {-32, 0, 49}).m_type, 3);
  EXPECT_EQ(voxelAt(world, {-31, 0, 48}).m_type, 255);
  EXPECT_EQ(voxelAt(world, {-17, 4, 63}).m_type, 1);
  EXPECT_EQ(voxelAt(world, {-17, 5, 63}).m_type, 0);
  EXPECT_TRUE(world.chunks().at(chunk).hasBlocks);

  const std::map<ChunkPosition, Mesh> meshes = meshesUpTo(world, marker, afterEveryWait());
  ASSERT_EQ(meshes.count(chunk), 1u);
  EXPECT_FALSE(meshes.at(chunk)->empty());
  EXPECT_FALSE(capture.mentions("chunk"));
}

TEST(ChunkPackets, OddServersLeaveTheBookkeepingWholeWithALineEach) {
  WorldModel world;
  OutputCapture capture;
  ChunkPackets::apply(world, prechunk(3, -4, true));
  ChunkPackets::apply(world, prechunk(3, -4, true));
  ChunkPackets::apply(world, prechunk(9, -4, false));
  ChunkPackets::apply(world, fullColumn(160, 0, 160));  // never announced
  ChunkPackets::apply(world, fullColumn(320, 200, 0));  // above the world's single layer
  ChunkPackets::apply(world, fullColumn(std::numeric_limits<int>::max() - 20, 0, 0));
  TSPackets::MapChunk single = fullColumn(0, 0, 0);
  single.sizeX = single.sizeY = single.sizeZ = 0;
  single.type.assign(1, 1);
  ChunkPackets::apply(world, single);
  TSPackets::MapChunk empty = fullColumn(0, 0, 0);
  empty.type.clear();
  ChunkPackets::apply(world, empty);
  ChunkPackets::apply(world, blockChange(1, 1, 1, 5));  // a chunk that is not loaded

  EXPECT_EQ(world.chunks().size(), 2u);
  EXPECT_TRUE(world.isLoaded({3, 0, -4}));
  EXPECT_TRUE(world.isLoaded({10, 0, 10}));
  EXPECT_TRUE(world.chunks().at({10, 0, 10}).hasBlocks);
  EXPECT_FALSE(world.chunks().at({3, 0, -4}).hasBlocks);
  EXPECT_EQ(voxelAt(world, {0, 0, 0}).m_type, 0);
  EXPECT_EQ(voxelAt(world, {1, 1, 1}).m_type, 0);
  EXPECT_EQ(capture.out(),
            (Lines{"tried to load chunk twice: 3, 0, -4",
                   "tried to unload chunk that was not loaded: 9, 0, -4",
                   "Stupid TS server sent us a chunk that it didn't tell us we should load",
                   "ignored map chunk outside the world's single layer at y 200",
                   "ignored map chunk beyond the edge of the world at 2147483627, 0"}));
  EXPECT_TRUE(capture.err().empty());
}

// One packet of edits, the chunks meshed again after it, and blocks with the
// types they must have then.
struct EditCase {
  const char* name;
  std::function<void(WorldModel&)> send;
  std::set<ChunkPosition> remeshed;
  std::vector<std::pair<Vox::Vector3DInt32, int>> blocks;
};

template <class Packet> std::function<void(WorldModel&)> sending(Packet packet) {
  return [packet](WorldModel& world) { ChunkPackets::apply(world, packet); };
}

// Four chunks around the corner (16, 16) on a stone floor five blocks high,
// all meshed, and a marker chunk far from them.
class EditedFloor : public testing::Test {
protected:
  void SetUp() override {
    for (ChunkPosition chunk : Chunks) {
      ChunkPackets::apply(m_world, prechunk(chunk.x, chunk.z, true));
      ChunkPackets::apply(m_world,
                          columnPacket(chunk, [](int, int y, int) { return y < 5 ? 1 : 0; }));
    }
    ChunkPackets::apply(m_world, prechunk(Marker.x, Marker.z, true));
    ASSERT_EQ(meshesUpTo(m_world, Marker, afterEveryWait()).size(), Chunks.size());
  }

  // Sends each packet in turn and checks what it changed.
  void playEdits(const std::vector<EditCase>& cases) {
    for (const EditCase& edit : cases) {
      SCOPED_TRACE(edit.name);
      edit.send(m_world);
      std::set<ChunkPosition> remeshed;
      for (const auto& mesh : meshesUpTo(m_world, Marker, afterEveryWait()))
        remeshed.insert(mesh.first);
      EXPECT_EQ(remeshed, edit.remeshed);
      for (const auto& [block, type] : edit.blocks)
        EXPECT_EQ(voxelAt(m_world, block).m_type, type)
            << block.x << ", " << block.y << ", " << block.z;
    }
  }

  static constexpr ChunkPosition Marker{6, 0, 6};
  static constexpr std::array<ChunkPosition, 4> Chunks = {
      {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}}};
  WorldModel m_world;
  OutputCapture m_capture;
};

TEST_F(EditedFloor, EditsRemeshEachChunkThatShowsThemOnce) {
  const ChunkPosition a(0, 0, 0), b(1, 0, 0), c(0, 0, 1), d(1, 0, 1);
  const std::vector<EditCase> cases = {
      {"block in the middle of a chunk", sending(blockChange(8, 4, 8, 0)), {a}, {{{8, 4, 8}, 0}}},
      {"block placed on the floor", sending(blockChange(8, 5, 8, 3)), {a}, {{{8, 5, 8}, 3}}},
      {"last row before the next chunk", sending(blockChange(15, 4, 8, 0)), {a, b},
       {{{15, 4, 8}, 0}}},
      {"first row of the next chunk", sending(blockChange(16, 4, 3, 0)), {a, b},
       {{{16, 4, 3}, 0}}},
      {"corner of four chunks", sending(blockChange(15, 4, 15, 7)), {a, b, c, d},
       {{{15, 4, 15}, 7}}},
      {"several blocks of one chunk",
       sending(multiBlockChange(0, 0, {{4, 4, 4, 0}, {5, 4, 4, 0}, {6, 3, 4, 0}, {7, 5, 7, 2}})),
       {a},
       {{{4, 4, 4}, 0}, {{5, 4, 4}, 0}, {{6, 3, 4}, 0}, {{7, 5, 7}, 2}, {{6, 4, 4}, 1}}},
      {"several blocks, one on the border",
       sending(multiBlockChange(1, 1, {{8, 2, 8, 0}, {9, 100, 10, 5}, {0, 4, 9, 0}})),
       {c, d},
       {{{24, 2, 24}, 0}, {{25, 100, 26}, 5}, {{16, 4, 25}, 0}, {{16, 4, 24}, 1}}},
      {"block set to what it is", sending(blockChange(8, 4, 8, 0)), {}, {{{8, 4, 8}, 0}}},
  };
  playEdits(cases);
  EXPECT_FALSE(m_capture.mentions("ignored"));
  EXPECT_TRUE(m_capture.err().empty());
}

TEST_F(EditedFloor, EditsOutsideTheLoadedWorldChangeNothing) {
  const int max = std::numeric_limits<int>::max();
  const ChunkPosition edge(max >> ChunkShiftX, 0, 0);
  ChunkPackets::apply(m_world, prechunk(edge.x, edge.z, true));
  const std::vector<EditCase> cases = {
      {"block of a chunk that is not loaded, next to one that is",
       sending(blockChange(32, 4, 8, 5)), {}, {{{32, 4, 8}, 0}}},
      {"blocks of a chunk that is not loaded",
       sending(multiBlockChange(2, 1, {{0, 4, 0, 5}, {3, 3, 3, 5}})), {},
       {{{32, 4, 16}, 0}, {{35, 3, 19}, 0}}},
      {"block below the world", sending(blockChange(8, -1, 8, 5)), {}, {{{8, -1, 8}, 0}}},
      {"blocks above the world, one inside",
       sending(multiBlockChange(0, 0, {{3, 200, 3, 5}, {3, 128, 4, 5}, {2, 4, 2, 0}})),
       {{0, 0, 0}},
       {{{3, 200, 3}, 0}, {{3, 128, 4}, 0}, {{2, 4, 2}, 0}}},
      {"block beyond the edge of the world", sending(blockChange(max, 4, 8, 5)), {},
       {{{max, 4, 8}, 0}}},
      {"blocks beyond the edge of the world",
       sending(multiBlockChange(edge.x, 0, {{15, 4, 8, 5}})), {}, {{{max, 4, 8}, 0}}},
      {"chunk whose blocks lie beyond 32 bits", sending(multiBlockChange(max, 0, {{0, 0, 0, 5}})),
       {}, {}},
  };
  playEdits(cases);
  EXPECT_FALSE(m_world.isLoaded({2, 0, 0}));
  EXPECT_FALSE(m_world.isLoaded({2, 0, 1}));
  const Lines lines = m_capture.out();
  for (const char* line : {
           "ignored block change outside the world's single layer at y -1",
           "ignored 2 block changes outside the world's single layer in chunk 0, 0",
           "ignored block change beyond the edge of the world at 2147483647, 8",
           "ignored block changes beyond the edge of the world in chunk 134217727, 0",
           "ignored block changes beyond the edge of the world in chunk 2147483647, 0",
       })
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
  EXPECT_FALSE(m_capture.mentions("Stupid"));
  EXPECT_TRUE(m_capture.err().empty());
}

} // namespace
