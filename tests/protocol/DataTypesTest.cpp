#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

#include "WireFixture.h"

using namespace TSDataTypes;
using Socket = asio::ip::tcp::socket;

namespace {

struct ScalarCase {
  const char* name;
  Bytes wire;
  std::function<void(Socket&)> expectRead;
  std::function<void(std::ostream&)> write;
};

#define SCALAR_CASE(Type, value, ...)                                                              \
  ScalarCase {                                                                                     \
    #Type " " #value, Bytes{__VA_ARGS__}, [](Socket& s) { EXPECT_EQ(parse##Type(s), value); },     \
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

TEST_F(WireTest, ScalarsReadAndWriteBigEndian) {
  for (const ScalarCase& c : scalarCases) {
    SCOPED_TRACE(c.name);
    feed(c.wire);
    feed(std::string(1, Marker));
    c.expectRead(socket());
    expectMarkerNext();
    std::ostringstream out;
    c.write(out);
    EXPECT_EQ(out.str(), c.wire.str());
  }
}

TEST_F(WireTest, BoolOtherThanZeroOrOneIsRefused) {
  feed(Bytes{0x02});
  EXPECT_EQ(thrownText([&] { parseBool(socket()); }), "invalid bool received");
}

TEST_F(WireTest, ReadFailsWhenThePeerClosesMidValue) {
  feed(Bytes{0x01, 0x02});
  endFeed();
  try {
    parseInt(socket());
    FAIL() << "no error";
  } catch (const asio::system_error& error) {
    EXPECT_EQ(error.code(), asio::error::eof);
  }
}

TEST_F(WireTest, MetadataKeepsOneTypeCodePerEntry) {
  struct Case {
    Bytes wire;
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
    feed(c.wire);
    feed(std::string(1, Marker));
    EXPECT_EQ(parseMeta(socket()), c.types);
    expectMarkerNext();
  }
}

TEST_F(WireTest, MetadataTypeSevenIsRefused) {
  feed(Bytes{0x00, 0x01, 0xE0, 0x00});
  try {
    parseMeta(socket());
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "unknown metadata byte x");
  }
}

TEST_F(WireTest, ArraysTakeTheirCountAndKeepShortsInWireOrder) {
  const std::string wire = Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  feed(wire);
  feed(wire);
  feed(std::string(1, Marker));
  const std::vector<short> shorts = parseShortArray(socket(), 3);
  ASSERT_EQ(shorts.size(), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(shorts.data()), 6), wire);
  const std::vector<signed char> bytes = parseByteArray(socket(), 6);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), wire);
  expectMarkerNext();

  std::ostringstream out;
  writeShortArray(out, shorts);
  writeByteArray(out, bytes);
  writeMeta(out, {0, 5, 6});
  EXPECT_EQ(out.str(), (wire + wire + Bytes{0, 5, 6}.str()));
}

TEST(WriteCompressed, IsNotImplemented) {
  std::ostringstream out;
  EXPECT_EQ(thrownText([&] { writeCompressed(out, {1, 2}); }), "not yet implemented");
  EXPECT_EQ(out.str(), "");
}
