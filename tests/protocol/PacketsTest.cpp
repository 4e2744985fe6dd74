#include <boost/preprocessor/stringize.hpp>
#include <functional>
#include <vector>

#include "TSPackets.h"
#include "WireFixture.h"

using namespace TSPackets;

namespace {

// One row per catalogue entry: its modes and calls on a fresh packet.
struct CatalogueRow {
  int id;
  const char* name;
  std::string read;
  std::string write;
  std::function<void(WireInput&)> parse;
  std::function<void(std::ostream&)> writeToStream;
  std::function<signed char()> packetId;
};

#define TS_CATALOGUE_ROW(packetId, Class, Read, Write, Dispatch, fields)                           \
  CatalogueRow{packetId,                                                                           \
               #Class,                                                                             \
               BOOST_PP_STRINGIZE(Read),                                                           \
               BOOST_PP_STRINGIZE(Write),                                                          \
               [](WireInput& in) { Class().parse(in); },                                           \
               [](std::ostream& out) { Class().writeToStream(out); },                              \
               [] { return Class().id; }},

const std::vector<CatalogueRow> catalogue = {TS_PACKET_CATALOGUE(TS_CATALOGUE_ROW)};

bool refused(const std::string& mode) {
  return mode == "NotCall" || mode == "NotSend" || mode == "NeverReceive";
}

// Whether the call throws a text (a C string), the form of the refusals.
template <typename Call> bool throwsText(Call call) {
  try {
    call();
  } catch (const char* text) {
    return text != nullptr;
  }
  return false;
}

} // namespace

// What a client has no use for is refused, or written as nothing, without
// reading or writing a byte.
TEST(Packets, OperationsWithoutUseTouchNothing) {
  const std::string bytes(64, '\x01');
  for (const CatalogueRow& row : catalogue) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(static_cast<unsigned char>(row.packetId()), row.id);
    if (refused(row.read)) {
      ByteReader reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
      EXPECT_TRUE(throwsText([&] { row.parse(reader); }));
      EXPECT_EQ(reader.consumed(), 0u);
    }
    std::ostringstream out;
    if (refused(row.write)) {
      EXPECT_TRUE(throwsText([&] { row.writeToStream(out); }));
    } else if (row.write == "Nothing") {
      row.writeToStream(out);
    }
    EXPECT_EQ(out.str(), "");
  }
}

TEST(Packets, PingTravelsAsIdAndInt) {
  Ping ping;
  ping.keepAliveId = 1;
  EXPECT_EQ(written(ping), Wire({0x00, 0x00, 0x00, 0x00, 0x01}).bytes());
  EXPECT_EQ(parsed<Ping>(Wire().i32(-7)).keepAliveId, -7);
}

TEST(Packets, LoginCarriesProtocolVersionSeventeen) {
  Login login;
  login.userName = "ab";
  EXPECT_EQ(written(login),
            Wire().i8(0x01).i32(17).string16("ab").i64(0).i32(0).i8(0).i8(0).i8(0).i8(0).bytes());
}

TEST(Packets, FieldsAreReadInCatalogueOrder) {
  const NamedEntitySpawn spawn = parsed<NamedEntitySpawn>(
      Wire().i32(42).string16("Bob").i32(-32).i32(2048).i32(96).i8(0x80).i8(0x10).i16(-1));
  EXPECT_EQ(spawn.entityId, 42);
  EXPECT_EQ(spawn.name, "Bob");
  EXPECT_EQ(spawn.x, -32);
  EXPECT_EQ(spawn.y, 2048);
  EXPECT_EQ(spawn.z, 96);
  EXPECT_EQ(spawn.yaw, -128);
  EXPECT_EQ(spawn.pitch, 0x10);
  EXPECT_EQ(spawn.currentItem, -1);

  const Respawn respawn = parsed<Respawn>(Wire().i8(-1).i8(2).i8(1).i16(128).i64(-5));
  EXPECT_EQ(respawn.dimension, -1);
  EXPECT_EQ(respawn.worldHeight, 128);
  EXPECT_EQ(respawn.mapSeed, -5);
}

// The server sends PlayerPosAndLook with the stance before y; the client
// writes y first, and PlayerPosition travels in that order both ways.
TEST(Packets, PositionPacketsKeepTheirFieldOrders) {
  const PlayerPosAndLook received =
      parsed<PlayerPosAndLook>(Wire().f64(1).f64(2).f64(3).f64(4).f32(90).f32(-45).i8(1));
  EXPECT_EQ(received.x, 1);
  EXPECT_EQ(received.stance, 2);
  EXPECT_EQ(received.y, 3);
  EXPECT_EQ(received.z, 4);
  EXPECT_EQ(received.yaw, 90);
  EXPECT_EQ(received.pitch, -45);
  EXPECT_TRUE(received.onGround);
  EXPECT_EQ(written(received),
            Wire().i8(0x0D).f64(1).f64(3).f64(2).f64(4).f32(90).f32(-45).i8(1).bytes());

  const Wire position = Wire().f64(1).f64(3).f64(2).f64(4).i8(1);
  const PlayerPosition moved = parsed<PlayerPosition>(position);
  EXPECT_EQ(moved.x, 1);
  EXPECT_EQ(moved.y, 3);
  EXPECT_EQ(moved.stance, 2);
  EXPECT_EQ(moved.z, 4);
  EXPECT_TRUE(moved.onGround);
  EXPECT_EQ(written(moved), Wire().i8(0x0B).raw(position).bytes());
}

// Item-stack tails and the object speed follow only when their test passes.
TEST(Packets, ConditionalTailsFollowTheirTest) {
  for (short itemId : {-1, -2, 0, 5}) {
    SCOPED_TRACE(itemId);
    const auto tail = [](bool present) { return present ? Wire().i8(3).i16(9).bytes() : ""; };
    const bool setSlotTail = itemId != -1;
    const SetSlot slot = parsed<SetSlot>(Wire().i8(1).i16(36).i16(itemId).raw(tail(setSlotTail)));
    EXPECT_EQ(slot.itemId, itemId);
    EXPECT_EQ(slot.itemCount, setSlotTail ? 3 : 0);
    EXPECT_EQ(slot.damage, setSlotTail ? 9 : 0);

    const bool placeTail = itemId >= 0;
    const Wire place = Wire().i32(10).i8(64).i32(-10).i8(1).i16(itemId);
    const PlayerBlockPlace placed = parsed<PlayerBlockPlace>(Wire(place).raw(tail(placeTail)));
    EXPECT_EQ(placed.itemCount, placeTail ? 3 : 0);
    EXPECT_EQ(written(placed), Wire().i8(0x0F).raw(place).raw(tail(placeTail)).bytes());

    WindowClick click;
    click.windowId = 2;
    click.slot = 7;
    click.actionNumber = 12;
    click.shift = true;
    click.itemId = itemId;
    click.itemCount = 3;
    click.damage = 9;
    EXPECT_EQ(written(click),
              Wire({0x66, 2, 0, 7, 0, 0, 12, 1}).i16(itemId).raw(tail(setSlotTail)).bytes());
  }
  const Wire object = Wire().i32(5).i8(10).i32(1).i32(2).i32(3);
  EXPECT_EQ(parsed<AddObject>(Wire(object).i32(0)).speedX, 0);
  const AddObject thrown = parsed<AddObject>(Wire(object).i32(77).i16(-1).i16(2).i16(3));
  EXPECT_EQ(thrown.flag, 77);
  EXPECT_EQ(thrown.speedX, -1);
  EXPECT_EQ(thrown.speedY, 2);
  EXPECT_EQ(thrown.speedZ, 3);
}

TEST(Packets, DisconnectWritesItsReasonAsString16) {
  Disconnect disconnect;
  disconnect.reason = "Quit!";
  EXPECT_EQ(written(disconnect), Wire().i8(0xFF).string16("Quit!").bytes());
}

TEST_F(WireTest, PacketsParseFromASocketToo) {
  feed(Wire().i32(42).string16("Bob"));
  feed(Wire().i32(1).i32(2).i32(3).i8(4).i8(5).i16(6));
  NamedEntitySpawn spawn;
  spawn.parse(socket());
  EXPECT_EQ(spawn.name, "Bob");
  EXPECT_EQ(spawn.currentItem, 6);
}
