#include <vector>

#include "AllocationProbe.h"
#include "TSPackets.h"
#include "WireFault.h"
#include "WireFixture.h"

using namespace TSPackets;

namespace {

using Values = std::vector<signed char>;

Wire mapChunk(int sizeX, int sizeY, int sizeZ, const std::string& payload) {
  return Wire().i32(-16).i16(0).i32(32).i8(sizeX).i8(sizeY).i8(sizeZ).compressed(payload);
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

TEST(Payloads, MapChunkSplitsNibblesWithHighHalvesInPlace) {
  struct Case {
    const char* name;
    int sizeX;
    Wire payload;
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
TEST(Payloads, MapChunkSplitsWholeBoxesLikeTheStream) {
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
TEST(Payloads, MapChunkWithBadPayloadsOrSizesFailsCleanly) {
  struct Case {
    const char* name;
    int sizeX;
    std::string payload;
  };
  const std::vector<Case> cases = {
      {"one byte short", 0, std::string(2, '\x11')},
      {"empty payload", 0, ""},
      {"one byte long", 0, std::string(4, '\x11')},
      {"negative size", -3, std::string(3, '\0')},
      {"no blocks but bytes", -1, std::string(3, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = mapChunk(c.sizeX, 0, 0, c.payload);
    ByteReader reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    MapChunk chunk;
    EXPECT_THROW(chunk.parse(reader), WireFault);
  }
  const MapChunk empty = parsed<MapChunk>(mapChunk(-1, 5, 5, ""));
  EXPECT_TRUE(empty.type.empty());
  EXPECT_TRUE(empty.skyLight.empty());
}

TEST(Payloads, MapChunkCompressionBombStopsAtTheColumnBound) {
  const std::string bytes = mapChunk(15, 127, 15, std::string(32 * 1024 * 1024, '\x01'));
  ByteReader reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  AllocationProbe::reset();
  MapChunk chunk;
  EXPECT_THROW(chunk.parse(reader), WireFault);
  EXPECT_LT(AllocationProbe::largest(), 256u * 1024);
}

TEST(Payloads, MultiBlockChangeUnpacksCoordinates) {
  const MultiBlockChange change = parsed<MultiBlockChange>(
      Wire().i32(3).i32(-4).i16(2).i16(0x1A40).i16(0xF37F).i8(1).i8(56).i8(0).i8(9));
  EXPECT_EQ(change.chunkX, 3);
  EXPECT_EQ(change.chunkZ, -4);
  EXPECT_EQ(change.count, 2);
  EXPECT_EQ(change.blockX, (Values{1, 15}));
  EXPECT_EQ(change.blockZ, (Values{10, 3}));
  EXPECT_EQ(change.blockY, (Values{0x40, 0x7F}));
  EXPECT_EQ(change.types, (Values{1, 56}));
  EXPECT_EQ(change.metadata, (Values{0, 9}));
}

TEST(Payloads, ExplosionReadsThreeByteRecords) {
  const Wire head = Wire().i32(100).i8(-2).i32(-100).f32(3.5f);
  const Explosion none = parsed<Explosion>(Wire(head).i32(0));
  EXPECT_EQ(none.y, -2);
  EXPECT_EQ(none.radius, 3.5f);
  EXPECT_TRUE(none.records.empty());

  const Explosion two = parsed<Explosion>(Wire(head).i32(2).i8(1).i8(-1).i8(2).i8(0).i8(3).i8(-4));
  ASSERT_EQ(two.records.size(), 2u);
  const Explosion::BlockOffset& first = two.records[0];
  EXPECT_EQ(first.x, 1);
  EXPECT_EQ(first.y, -1);
  EXPECT_EQ(first.z, 2);
  EXPECT_EQ(two.records[1].z, -4);
}

TEST(Payloads, WindowItemsReadStacksOnlyForItems) {
  const WindowItems items =
      parsed<WindowItems>(Wire().i8(0).i16(2).i16(-1).i16(7).i8(3).i16(9));
  EXPECT_EQ(items.count, 2);
  EXPECT_EQ(items.itemIds, (std::vector<short>{-1, 7}));
  EXPECT_EQ(items.itemCounts, (Values{0, 3}));
  EXPECT_EQ(items.damages, (std::vector<short>{0, 9}));
}

TEST(Payloads, ItemDataLengthIsUnsigned) {
  const ItemData item =
      parsed<ItemData>(Wire().i16(358).i16(1).i8(0xC8).raw(std::string(200, '\xAB')));
  EXPECT_EQ(item.length, 200);
  EXPECT_EQ(item.data, std::vector<unsigned char>(200, 0xAB));
}

TEST(Payloads, MetadataCarriersKeepTheTypeList) {
  const Wire metadata = {0x00, 0x05, 0x21, 0x00, 0x0A, 0x7F};
  const EntityMetadata entity = parsed<EntityMetadata>(Wire().i32(9).raw(metadata));
  EXPECT_EQ(entity.entityId, 9);
  EXPECT_EQ(entity.metadata, (std::vector<char>{0, 1}));

  const MobSpawn mob = parsed<MobSpawn>(
      Wire().i32(9).i8(50).i32(1).i32(2).i32(3).i8(4).i8(5).raw(metadata));
  EXPECT_EQ(mob.mobType, 50);
  EXPECT_EQ(mob.metadata, (std::vector<char>{0, 1}));
}
