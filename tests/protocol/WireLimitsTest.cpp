#include <functional>
#include <limits>
#include <new>
#include <vector>

#include "AllocationProbe.h"
#include "Inflate.h"
#include "TSPackets.h"
#include "WireFault.h"
#include "WireFixture.h"

using namespace TSDataTypes;

namespace {

constexpr int Huge = std::numeric_limits<int>::max();
constexpr std::size_t Column = 81920;
// Far below what the counts above would take.
constexpr std::size_t SmallFootprint = 256 * 1024;

struct ReadCase {
  const char* name;
  Wire wire;
  std::function<void(WireInput&)> read;
};

template <typename Packet> void parsePacket(WireInput& in) {
  Packet packet;
  packet.parse(in);
}

void parseColumn(WireInput& in) { parseCompressed(in, Column); }

ByteReader readerOf(const std::string& bytes) {
  return ByteReader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

} // namespace

TEST(WireLimits, NegativeLengthsAndCountsFailAsAllocations) {
  const std::vector<ReadCase> cases = {
      {"string8", {0xFF, 0xFF}, [](WireInput& in) { parseString8(in); }},
      {"string16", {0xFF, 0xFF}, [](WireInput& in) { parseString16(in); }},
      {"metadata string16", {0x80, 0x80, 0x00}, [](WireInput& in) { parseMeta(in); }},
      {"byte array", {}, [](WireInput& in) { parseByteArray(in, -1); }},
      {"short array", {}, [](WireInput& in) { parseShortArray(in, -1); }},
      {"compressed", Wire().i32(-1), parseColumn},
      {"block changes", Wire().i32(0).i32(0).i16(-1), parsePacket<TSPackets::MultiBlockChange>},
      {"explosion", Wire().i32(0).i8(0).i32(0).i32(0).i32(-5), parsePacket<TSPackets::Explosion>},
      {"window items", Wire().i8(0).i16(-3), parsePacket<TSPackets::WindowItems>},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    ByteReader reader = readerOf(c.wire);
    EXPECT_THROW(c.read(reader), std::bad_alloc);
  }
}

// A count announced on the wire must not become memory before its bytes
// arrive: from memory the read asks for the bytes at once, from a socket it
// ends at the missing bytes; both with a small footprint.
TEST(WireLimits, HugeCountsFollowedByNothingCostNoMemory) {
  const std::vector<ReadCase> cases = {
      {"string16", {0x7F, 0xFF}, [](WireInput& in) { parseString16(in); }},
      {"byte array", {}, [](WireInput& in) { parseByteArray(in, Huge); }},
      {"short array", {}, [](WireInput& in) { parseShortArray(in, Huge); }},
      {"compressed", Wire().i32(static_cast<int>(Inflate::inputBound(MaxInflated))),
       [](WireInput& in) { parseCompressed(in); }},
      {"explosion", Wire().i32(0).i8(0).i32(0).i32(0).i32(Huge),
       parsePacket<TSPackets::Explosion>},
      {"block changes", Wire().i32(0).i32(0).i16(0x7FFF), parsePacket<TSPackets::MultiBlockChange>},
      {"window items", Wire().i8(0).i16(0x7FFF), parsePacket<TSPackets::WindowItems>},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = c.wire.bytes() + std::string(1000, '\0');
    ByteReader reader = readerOf(bytes);
    AllocationProbe::reset();
    EXPECT_THROW(c.read(reader), NeedMoreBytes);
    EXPECT_LT(AllocationProbe::largest(), SmallFootprint);

    LoopbackPair pair;
    pair.feed(bytes);
    pair.closeFeed();
    SocketInput in(pair.client);
    AllocationProbe::reset();
    EXPECT_THROW(c.read(in), asio::system_error);
    EXPECT_LT(AllocationProbe::largest(), SmallFootprint);
  }
}

// A compressed block longer than any that inflates to the expected size is
// refused by its length, before its bytes are waited for.
TEST(WireLimits, CompressedBlockLongerThanItsBoundIsRefusedAtOnce) {
  const std::size_t bound = Inflate::inputBound(Column);
  for (const int length : {Huge, static_cast<int>(bound) + 1}) {
    SCOPED_TRACE(length);
    const Wire header = Wire().i32(length);
    ByteReader reader = readerOf(header);
    EXPECT_THROW(parseColumn(reader), WireFault);
  }
  const Wire atBound = Wire().i32(static_cast<int>(bound));
  ByteReader reader = readerOf(atBound);
  EXPECT_THROW(parseColumn(reader), NeedMoreBytes);
}

TEST(WireLimits, CompressedBlockInflatesWithinItsBound) {
  const std::string text = "compressed block payload";
  const std::vector<signed char> out = readWhole(
      Wire().compressed(text), [&](WireInput& in) { return parseCompressed(in, text.size()); });
  EXPECT_EQ(std::string(out.begin(), out.end()), text);
}

// Each broken block ends the read with a message instead of looping or
// allocating.
TEST(WireLimits, BrokenCompressedBlocksFailWithAMessage) {
  const std::string valid = zlibCompress(std::string(5000, 'x'));
  std::string corrupt = valid;
  corrupt[valid.size() / 2] = static_cast<char>(~corrupt[valid.size() / 2]);
  std::string badHeader = valid;
  badHeader[0] = 0x00;
  struct Case {
    const char* name;
    std::string block;
    std::size_t bound;
  };
  const std::vector<Case> cases = {
      {"empty", "", 5000},
      {"truncated", valid.substr(0, valid.size() / 2), 5000},
      {"without its trailer", valid.substr(0, valid.size() - 2), 5000},
      {"corrupt", corrupt, 5000},
      {"bad header", badHeader, 5000},
      {"beyond the bound", valid, 4999},
      {"bomb", zlibCompress(std::string(64 * 1024 * 1024, '\0')), 81920},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Wire block = Wire().i32(static_cast<int>(c.block.size())).raw(c.block);
    ByteReader reader = readerOf(block);
    AllocationProbe::reset();
    try {
      parseCompressed(reader, c.bound);
      ADD_FAILURE() << "no error";
    } catch (const WireFault& error) {
      EXPECT_STRNE(error.what(), "");
    }
    EXPECT_LT(AllocationProbe::largest(), SmallFootprint);
  }
}
