#include <boost/preprocessor/stringize.hpp>
#include <cstring>
#include <functional>
#include <vector>

#include "TSPackets.h"
#include "WireFixture.h"

using namespace TSPackets;
using Socket = asio::ip::tcp::socket;

namespace {

// One row per catalogue entry: its modes and calls on a fresh packet.
struct CatalogueRow {
  int id;
  const char* name;
  std::string read;
  std::string write;
  std::function<void(Socket&)> parse;
  std::function<void(std::ostream&)> writeToStream;
  std::function<signed char()> packetId;
};

#define TS_CATALOGUE_ROW(packetId, Class, Read, Write, Dispatch, fields)                           \
  CatalogueRow{packetId,                                                                           \
               #Class,                                                                             \
               BOOST_PP_STRINGIZE(Read),                                                           \
               BOOST_PP_STRINGIZE(Write),                                                          \
               [](Socket& s) { Class().parse(s); },                                                \
               [](std::ostream& out) { Class().writeToStream(out); },                              \
               [] { return Class().id; }},

const std::vector<CatalogueRow> catalogue = {TS_PACKET_CATALOGUE(TS_CATALOGUE_ROW)};

const char* refusal(const std::string& mode) {
  if (mode == "NotCall") {
    return "I'm a client, I don't call this";
  }
  if (mode == "NotSend") {
    return "I'm a client, I don't send this";
  }
  if (mode == "NeverReceive") {
    return "I'm a client, I never receive this";
  }
  return nullptr;
}

} // namespace

TEST_F(WireTest, RefusedOperationsThrowTheirTextAndTouchNothing) {
  feed(std::string(1, Marker));
  for (const CatalogueRow& row : catalogue) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(static_cast<unsigned char>(row.packetId()), row.id);
    if (const char* text = refusal(row.read)) {
      EXPECT_EQ(thrownText([&] { row.parse(socket()); }), text);
    }
    std::ostringstream out;
    if (const char* text = refusal(row.write)) {
      EXPECT_EQ(thrownText([&] { row.writeToStream(out); }), text);
    } else if (row.write == "Nothing") {
      row.writeToStream(out);
    }
    EXPECT_EQ(out.str(), "");
  }
  expectMarkerNext();
}

TEST_F(WireTest, PingTravelsAsIdAndInt) {
  Ping ping;
  ping.keepAliveId = 1;
  EXPECT_EQ(written(ping), Bytes({0x00, 0x00, 0x00, 0x00, 0x01}).str());
  EXPECT_EQ(parsed<Ping>(Bytes().u32(-7)).keepAliveId, -7);
}

TEST(Login, SendsProtocolVersionSeventeenByDefault) {
  Login login;
  login.userName = "ab";
  EXPECT_EQ(login.entityId, 17);
  EXPECT_EQ(login.mapSeed, 0);
  EXPECT_EQ(written(login), Bytes()
                                .u8(0x01)
                                .u32(17)
                                .ascii16("ab")
                                .u64(0)
                                .u32(0)
                                .u8(0)
                                .u8(0)
                                .u8(0)
                                .u8(0)
                                .str());
}

TEST_F(WireTest, FieldsAreReadInCatalogueOrder) {
  const NamedEntitySpawn spawn = parsed<NamedEntitySpawn>(
      Bytes().u32(42).ascii16("Bob").u32(-32).u32(2048).u32(96).u8(0x80).u8(0x10).u16(-1));
  EXPECT_EQ(spawn.entityId, 42);
  EXPECT_EQ(spawn.name, "Bob");
  EXPECT_EQ(spawn.x, -32);
  EXPECT_EQ(spawn.y, 2048);
  EXPECT_EQ(spawn.z, 96);
  EXPECT_EQ(spawn.yaw, -128);
  EXPECT_EQ(spawn.pitch, 0x10);
  EXPECT_EQ(spawn.currentItem, -1);

  const Respawn respawn = parsed<Respawn>(Bytes().u8(-1).u8(2).u8(1).u16(128).u64(-5));
  EXPECT_EQ(respawn.dimension, -1);
  EXPECT_EQ(respawn.worldHeight, 128);
  EXPECT_EQ(respawn.mapSeed, -5);
}

TEST_F(WireTest, PositionPacketsReadStanceBeforeYAndWriteItAfter) {
  const PlayerPosAndLook received = parsed<PlayerPosAndLook>(
      Bytes().f64(1).f64(2).f64(3).f64(4).f32(90).f32(-45).u8(1));
  EXPECT_EQ(received.x, 1);
  EXPECT_EQ(received.stance, 2);
  EXPECT_EQ(received.y, 3);
  EXPECT_EQ(received.z, 4);
  EXPECT_EQ(received.yaw, 90);
  EXPECT_EQ(received.pitch, -45);
  EXPECT_TRUE(received.onGround);
  EXPECT_EQ(written(received),
            Bytes().u8(0x0D).f64(1).f64(3).f64(2).f64(4).f32(90).f32(-45).u8(1).str());

  PlayerPosition position;
  position.x = 1;
  position.y = 3;
  position.z = 4;
  position.stance = 2;
  EXPECT_EQ(written(position), Bytes().u8(0x0B).f64(1).f64(3).f64(2).f64(4).u8(0).str());
}

// Item-stack tails and the object speed follow only when their test passes.
TEST_F(WireTest, ConditionalTailsFollowTheirTest) {
  for (short itemId : {-1, -2, 0, 5}) {
    SCOPED_TRACE(itemId);
    const auto tail = [](bool present) { return present ? Bytes().u8(3).u16(9).str() : ""; };
    const bool setSlotTail = itemId != -1;
    const SetSlot slot =
        parsed<SetSlot>(Bytes().u8(1).u16(36).u16(itemId).raw(tail(setSlotTail)));
    EXPECT_EQ(slot.itemId, itemId);
    EXPECT_EQ(slot.itemCount, setSlotTail ? 3 : 0);
    EXPECT_EQ(slot.damage, setSlotTail ? 9 : 0);

    const bool placeTail = itemId >= 0;
    const Bytes place = Bytes().u32(10).u8(64).u32(-10).u8(1).u16(itemId);
    const PlayerBlockPlace placed =
        parsed<PlayerBlockPlace>(Bytes(place).raw(tail(placeTail)));
    EXPECT_EQ(placed.itemCount, placeTail ? 3 : 0);
    EXPECT_EQ(written(placed), Bytes().u8(0x0F).raw(place).raw(tail(placeTail)).str());

    WindowClick click;
    click.windowId = 2;
    click.slot = 7;
    click.actionNumber = 12;
    click.shift = true;
    click.itemId = itemId;
    click.itemCount = 3;
    click.damage = 9;
    EXPECT_EQ(written(click), Bytes({0x66, 2, 0, 7, 0, 0, 12, 1})
                                  .u16(itemId)
                                  .raw(tail(setSlotTail))
                                  .str());
  }
  const Bytes object = Bytes().u32(5).u8(10).u32(1).u32(2).u32(3);
  EXPECT_EQ(parsed<AddObject>(Bytes(object).u32(0)).speedX, 0);
  const AddObject thrown = parsed<AddObject>(Bytes(object).u32(77).u16(-1).u16(2).u16(3));
  EXPECT_EQ(thrown.flag, 77);
  EXPECT_EQ(thrown.speedX, -1);
  EXPECT_EQ(thrown.speedY, 2);
  EXPECT_EQ(thrown.speedZ, 3);
}

TEST(Disconnect, WritesItsReasonAsString16) {
  Disconnect disconnect;
  disconnect.reason = "Quit!";
  EXPECT_EQ(written(disconnect), Bytes().u8(0xFF).ascii16("Quit!").str());
}
