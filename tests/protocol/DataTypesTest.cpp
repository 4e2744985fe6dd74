#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "WireFault.h"
#include "WireFixture.h"

using namespace TSDataTypes;

namespace {

struct ScalarCase {
  const char* name;
  Wire wire;
  std::function<void(const std::string&)> expectRead;
  std::function<void(std::ostream&)> write;
};

#define SCALAR_CASE(Type, value, ...)                                                              \
  ScalarCase {                                                                                     \
    #Type " " #value, Wire{__VA_ARGS__},                                                           \
        [](const std::string& bytes) {                                                             \
          EXPECT_EQ(readWhole(bytes, [](WireInput& in) { return parse##Type(in); }), value);       \
        },                                                                                         \
        [](std::ostream& out) { write##Type(out, value); }                                         \
  }

const std::vector<ScalarCase> scalarCases = {
    SCALAR_CASE(Byte, 127, 0x7F),
    SCALAR_CASE(Byte, -1, 0xFF),
    SCALAR_CASE(Byte, -128, 0x80),
    SCALAR_CASE(Bool, false, 0x00),
    SCALAR_CASE(Bool, true, 0x01),
    SCALAR_CASE(Short, 0x1234, 0x12, 0x34),
    SCALAR_CASE(Short, -2, 0xFF, 0xFE),
    SCALAR_CASE(Short, -32768, 0x80, 0x00),
    SCALAR_CASE(Int, 0x12345678, 0x12, 0x34, 0x56, 0x78),
    SCALAR_CASE(Int, -1, 0xFF, 0xFF, 0xFF, 0xFF),
    SCALAR_CASE(Int, std::numeric_limits<int>::min(), 0x80, 0x00, 0x00, 0x00),
    SCALAR_CASE(Long, 0x0102030405060708, 1, 2, 3, 4, 5, 6, 7, 8),
    SCALAR_CASE(Long, -2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE),
    SCALAR_CASE(Float, 1.5f, 0x3F, 0xC0, 0x00, 0x00),
    SCALAR_CASE(Float, -2.0f, 0xC0, 0x00, 0x00, 0x00),
    SCALAR_CASE(Double, 1.0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0),
    SCALAR_CASE(Double, -0.5, 0xBF, 0xE0, 0, 0, 0, 0, 0, 0),
    SCALAR_CASE(String8, std::string("ab"), 0x00, 0x02, 'a', 'b'),
    SCALAR_CASE(String16, std::string(), 0x00, 0x00),
    SCALAR_CASE(String16, std::string("abc"), 0x00, 0x03, 0x00, 'a', 0x00, 'b', 0x00, 'c'),
};

} // namespace

TEST(DataTypes, ScalarsReadAndWriteBigEndian) {
  for (const ScalarCase& c : scalarCases) {
    SCOPED_TRACE(c.name);
    c.expectRead(c.wire);
    std::ostringstream out;
    c.write(out);
    EXPECT_EQ(out.str(), c.wire.bytes());
  }
}

// Reads through a SocketInput wait for their bytes and fail when the
// connection ends first.
TEST_F(WireTest, SocketReadsWaitAndFailWhenThePeerClosesMidValue) {
  SocketInput in(socket());
  feed(Wire().i32(-7).i8(1));
  EXPECT_EQ(parseInt(in), -7);
  feed(Wire{0x02});
  endFeed();
  try {
    parseInt(in);
    FAIL() << "no error";
  } catch (const asio::system_error& error) {
    EXPECT_EQ(error.code(), asio::error::eof);
  }
}

TEST(DataTypes, MetadataKeepsOneTypeCodePerEntry) {
  struct Case {
    Wire wire;
    std::vector<char> types;
  };
  const std::vector<Case> cases = {
      {{0x7F}, {}},
      {{0x00, 0x05, 0x7F}, {0}},
      {{0x21, 0x00, 0x0A, 0x7F}, {1}},
      {{0x42, 1, 2, 3, 4, 0x63, 1, 2, 3, 4, 0x7F}, {2, 3}},
      {{0x84, 0x00, 0x02, 0x00, 'h', 0x00, 'i', 0x7F}, {4}},
      {{0xA5, 0x00, 0x07, 0x40, 0x00, 0x00, 0xC6, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0x7F},
       {5, 6}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readWhole(c.wire, [](WireInput& in) { return parseMeta(in); }), c.types);
  }
  const Wire typeSeven = {0x00, 0x01, 0xE0, 0x00, 0x7F};
  ByteReader reader(reinterpret_cast<const unsigned char*>(typeSeven.bytes().data()),
                    typeSeven.bytes().size());
  EXPECT_THROW(parseMeta(reader), WireFault);
}

TEST(DataTypes, ArraysTakeTheirCountAndKeepShortsInWireOrder) {
  const std::string wire = Wire{0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  const std::vector<short> shorts =
      readWhole(wire, [](WireInput& in) { return parseShortArray(in, 3); });
  ASSERT_EQ(shorts.size(), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(shorts.data()), 6), wire);
  const std::vector<signed char> bytes =
      readWhole(wire, [](WireInput& in) { return parseByteArray(in, 6); });
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), wire);

  std::ostringstream out;
  writeShortArray(out, shorts);
  writeByteArray(out, bytes);
  writeMeta(out, {0, 5, 6});
  EXPECT_EQ(out.str(), (wire + wire + Wire{0, 5, 6}.bytes()));
}
