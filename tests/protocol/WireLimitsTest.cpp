#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "AllocationProbe.h"
#include "TSPackets.h"
#include "WireFixture.h"

using namespace TSDataTypes;
using Socket = asio::ip::tcp::socket;

namespace {

constexpr int Huge = std::numeric_limits<int>::max();

struct ReadCase {
  const char* name;
  Bytes wire;
  std::function<void(Socket&)> read;
};

template <typename Packet> void parsePacket(Socket& socket) {
  Packet packet;
  packet.parse(socket);
}

void parseColumn(Socket& socket) { parseCompressed(socket, 81920); }

} // namespace

TEST_F(WireTest, NegativeLengthsAndCountsFailAsAllocations) {
  const std::vector<ReadCase> cases = {
      {"string8", {0xFF, 0xFF}, parseString8},
      {"string16", {0xFF, 0xFF}, parseString16},
      {"metadata string16", {0x80, 0x80, 0x00}, parseMeta},
      {"byte array", {}, [](Socket& s) { parseByteArray(s, -1); }},
      {"short array", {}, [](Socket& s) { parseShortArray(s, -1); }},
      {"compressed", Bytes().u32(-1), parseColumn},
      {"block changes", Bytes().u32(0).u32(0).u16(-1), parsePacket<TSPackets::MultiBlockChange>},
      {"explosion", Bytes().u32(0).u8(0).u32(0).u32(0).u32(-5), parsePacket<TSPackets::Explosion>},
      {"window items", Bytes().u8(0).u16(-3), parsePacket<TSPackets::WindowItems>},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackPair pair;
    pair.feed(c.wire);
    EXPECT_THROW(c.read(pair.client), std::bad_alloc);
  }
}

// A count announced on the wire must not become memory before its bytes
// arrive: each read ends at the missing bytes with a small footprint.
TEST_F(WireTest, HugeCountsFollowedByNothingFailOnTheMissingBytes) {
  const std::vector<ReadCase> cases = {
      {"string16", {0x7F, 0xFF}, parseString16},
      {"byte array", {}, [](Socket& s) { parseByteArray(s, Huge); }},
      {"short array", {}, [](Socket& s) { parseShortArray(s, Huge); }},
      {"compressed", Bytes().u32(Huge), parseColumn},
      {"explosion", Bytes().u32(0).u8(0).u32(0).u32(0).u32(Huge), parsePacket<TSPackets::Explosion>},
      {"block changes", Bytes().u32(0).u32(0).u16(0x7FFF), parsePacket<TSPackets::MultiBlockChange>},
      {"window items", Bytes().u8(0).u16(0x7FFF), parsePacket<TSPackets::WindowItems>},
      {"map chunk", Bytes().u32(0).u16(0).u32(0).u8(127).u8(127).u8(127).u32(Huge),
       parsePacket<TSPackets::MapChunk>},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackPair pair;
    pair.feed(c.wire);
    pair.feed(std::string(1000, '\0'));
    pair.closeFeed();
    AllocationProbe::reset();
    EXPECT_THROW(c.read(pair.client), asio::system_error);
    EXPECT_LT(AllocationProbe::largest(), 256u * 1024);
  }
}

TEST_F(WireTest, CompressedBlockInflatesWithinItsBound) {
  const std::string text = "compressed block payload";
  feed(Bytes().u32(static_cast<int>(zlibCompress(text).size())).raw(zlibCompress(text)));
  feed(std::string(1, Marker));
  const std::vector<signed char> out = parseCompressed(socket(), text.size());
  EXPECT_EQ(std::string(out.begin(), out.end()), text);
  expectMarkerNext();
}

// Each broken block ends the read with a message instead of looping or
// allocating.
TEST(CompressedBlock, BrokenBlocksFailWithAMessage) {
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
    LoopbackPair pair;
    pair.feed(Bytes().u32(static_cast<int>(c.block.size())).raw(c.block));
    AllocationProbe::reset();
    try {
      parseCompressed(pair.client, c.bound);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
      EXPECT_STRNE(error.what(), "");
    }
    EXPECT_LT(AllocationProbe::largest(), 256u * 1024);
  }
}
