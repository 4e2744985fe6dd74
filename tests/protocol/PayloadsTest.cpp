#include <stdexcept>
#include <vector>

#include "AllocationProbe.h"
#include "TSPackets.h"
#include "WireFixture.h"

using namespace TSPackets;

namespace {

using Values = std::vector<signed char>;

Bytes mapChunk(int sizeX, int sizeY, int sizeZ, const std::string& payload) {
  const std::string block = zlibCompress(payload);
  return Bytes()
      .u32(-16)
      .u16(0)
      .u32(32)
      .u8(sizeX)
      .u8(sizeY)
      .u8(sizeZ)
      .u32(static_cast<int>(block.size()))
      .raw(block);
}

// Value j of the nibble stream that follows the n block types: high half of
// byte j / 2 kept in place when j is even, its low half when j is odd.
Values nibbleStream(const std::string& payload, std::size_t n, std::size_t first) {
  Values values;
  for (std::size_t j = first; j < first + n; ++j) {
    const auto byte = static_cast<unsigned char>(payload[n + j / 2]);
    values.push_back(static_cast<signed char>(j % 2 == 0 ? byte & 0xF0 : byte & 0x0F));
  }
  return values;
}

} // namespace

TEST_F(WireTest, MapChunkSplitsNibblesWithHighHalvesInPlace) {
  struct Case {
    const char* name;
    int sizeX;
    Bytes payload;
    Values type, metadata, blockLight, skyLight;
  };
  const std::vector<Case> cases = {
      // n = 1: the last byte's low half is not used.
      {"one block", 0, {0x07, 0xA5, 0xCF}, {7}, {-96}, {0x05}, {-64}},
      // n = 3: one byte carries the last metadata and the first block light.
      {"odd count",
       2,
       {1, 2, 3, 0x01, 0x23, 0x45, 0x67, 0x8F},
       {1, 2, 3},
       {0x00, 0x01, 0x20},
       {0x03, 0x40, 0x05},
       {0x60, 0x07, -128}},
      {"even count", 1, {4, 5, 0x12, 0x34, 0x56}, {4, 5}, {0x10, 0x02}, {0x30, 0x04}, {0x50, 0x06}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MapChunk chunk = parsed<MapChunk>(mapChunk(c.sizeX, 0, 0, c.payload));
    EXPECT_EQ(chunk.x, -16);
    EXPECT_EQ(chunk.z, 32);
    EXPECT_EQ(chunk.type, c.type);
    EXPECT_EQ(chunk.metadata, c.metadata);
    EXPECT_EQ(chunk.blockLight, c.blockLight);
    EXPECT_EQ(chunk.skyLight, c.skyLight);
  }
}

// Whole boxes, the full column and odd ones whose block-light list starts
// in the middle of a byte, against the stream read value by value.
TEST_F(WireTest, MapChunkSplitsWholeBoxesLikeTheStream) {
  struct Case {
    int sizeX, sizeY, sizeZ;
  };
  for (const Case& c : {Case{15, 127, 15}, Case{4, 2, 2}, Case{2, 10, 0}}) {
    const std::size_t n = static_cast<std::size_t>((c.sizeX + 1) * (c.sizeY + 1) * (c.sizeZ + 1));
    SCOPED_TRACE(n);
    std::string payload(n + (3 * n + 1) / 2, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) {
      payload[i] = static_cast<char>(i * 7 % 251);
    }
    const MapChunk chunk = parsed<MapChunk>(mapChunk(c.sizeX, c.sizeY, c.sizeZ, payload));
    EXPECT_EQ(chunk.type, Values(payload.begin(), payload.begin() + static_cast<long>(n)));
    EXPECT_EQ(chunk.metadata, nibbleStream(payload, n, 0));
    EXPECT_EQ(chunk.blockLight, nibbleStream(payload, n, n));
    EXPECT_EQ(chunk.skyLight, nibbleStream(payload, n, 2 * n));
  }
}

// A payload of the wrong size or a box of no blocks fails without a crash;
// a box of one empty axis holds no blocks.
TEST(MapChunk, BadPayloadsAndSizesFailCleanly) {
  struct Case {
    const char* name;
    int sizeX;
    std::string payload;
    bool outOfRange;
  };
  const std::vector<Case> cases = {
      {"one byte short", 0, std::string(2, '\x11'), true},
      {"empty payload", 0, "", true},
      {"one byte long", 0, std::string(4, '\x11'), false},
      {"negative size", -3, std::string(3, '\0'), false},
      {"no blocks but bytes", -1, std::string(3, '\0'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackPair pair;
    pair.feed(mapChunk(c.sizeX, 0, 0, c.payload));
    MapChunk chunk;
    try {
      chunk.parse(pair.client);
      ADD_FAILURE() << "no error";
    } catch (const std::out_of_range& error) {
      EXPECT_TRUE(c.outOfRange) << error.what();
    } catch (const std::runtime_error& error) {
      EXPECT_FALSE(c.outOfRange) << error.what();
    }
  }
  LoopbackPair pair;
  pair.feed(mapChunk(-1, 5, 5, ""));
  MapChunk empty;
  empty.parse(pair.client);
  EXPECT_TRUE(empty.type.empty());
  EXPECT_TRUE(empty.skyLight.empty());
}

TEST(MapChunk, CompressionBombStopsAtTheColumnBound) {
  LoopbackPair pair;
  pair.feed(mapChunk(15, 127, 15, std::string(32 * 1024 * 1024, '\x01')));
  AllocationProbe::reset();
  MapChunk chunk;
  EXPECT_THROW(chunk.parse(pair.client), std::runtime_error);
  EXPECT_LT(AllocationProbe::largest(), 256u * 1024);
}

TEST_F(WireTest, MultiBlockChangeUnpacksCoordinates) {
  const MultiBlockChange change = parsed<MultiBlockChange>(
      Bytes().u32(3).u32(-4).u16(2).u16(0x1A40).u16(0xF37F).u8(1).u8(56).u8(0).u8(9));
  EXPECT_EQ(change.chunkX, 3);
  EXPECT_EQ(change.chunkZ, -4);
  EXPECT_EQ(change.count, 2);
  EXPECT_EQ(change.blockX, (Values{1, 15}));
  EXPECT_EQ(change.blockZ, (Values{10, 3}));
  EXPECT_EQ(change.blockY, (Values{0x40, 0x7F}));
  EXPECT_EQ(change.types, (Values{1, 56}));
  EXPECT_EQ(change.metadata, (Values{0, 9}));
}

TEST_F(WireTest, ExplosionReadsThreeByteRecords) {
  const Bytes head = Bytes().u32(100).u8(-2).u32(-100).f32(3.5f);
  const Explosion none = parsed<Explosion>(Bytes(head).u32(0));
  EXPECT_EQ(none.y, -2);
  EXPECT_EQ(none.radius, 3.5f);
  EXPECT_TRUE(none.records.empty());

  const Explosion two = parsed<Explosion>(Bytes(head).u32(2).u8(1).u8(-1).u8(2).u8(0).u8(3).u8(-4));
  ASSERT_EQ(two.records.size(), 2u);
  const Explosion::BlockOffset& first = two.records[0];
  EXPECT_EQ(first.x, 1);
  EXPECT_EQ(first.y, -1);
  EXPECT_EQ(first.z, 2);
  EXPECT_EQ(two.records[1].z, -4);
}

TEST_F(WireTest, WindowItemsReadStacksOnlyForItems) {
  const WindowItems items =
      parsed<WindowItems>(Bytes().u8(0).u16(2).u16(-1).u16(7).u8(3).u16(9));
  EXPECT_EQ(items.count, 2);
  EXPECT_EQ(items.itemIds, (std::vector<short>{-1, 7}));
  EXPECT_EQ(items.itemCounts, (Values{0, 3}));
  EXPECT_EQ(items.damages, (std::vector<short>{0, 9}));
}

TEST_F(WireTest, ItemDataLengthIsUnsigned) {
  const ItemData item =
      parsed<ItemData>(Bytes().u16(358).u16(1).u8(0xC8).raw(std::string(200, '\xAB')));
  EXPECT_EQ(item.length, 200);
  EXPECT_EQ(item.data, std::vector<unsigned char>(200, 0xAB));
}

TEST_F(WireTest, MetadataCarriersKeepTheTypeList) {
  const Bytes metadata = {0x00, 0x05, 0x21, 0x00, 0x0A, 0x7F};
  const EntityMetadata entity = parsed<EntityMetadata>(Bytes().u32(9).raw(metadata));
  EXPECT_EQ(entity.entityId, 9);
  EXPECT_EQ(entity.metadata, (std::vector<char>{0, 1}));

  const MobSpawn mob = parsed<MobSpawn>(
      Bytes().u32(9).u8(50).u32(1).u32(2).u32(3).u8(4).u8(5).raw(metadata));
  EXPECT_EQ(mob.mobType, 50);
  EXPECT_EQ(mob.metadata, (std::vector<char>{0, 1}));
}
