#include <iostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "UnknownPacketId.h"
#include "Wire.h"
#include "session/PacketDispatch.h"
#include "session/PacketLog.h"

using Lines = std::vector<std::string>;

namespace {

struct HandlerCase {
  const char* name;
  std::string packet;
  Lines lines;
};

// What the dispatch makes of the packet's bytes with nothing registered:
// the packet must be read whole, and its log lines are returned.
Lines defaultHandlerLines(const PacketDispatch& dispatch, const std::string& packet,
                          Lines& errors) {
  ByteReader reader(reinterpret_cast<const unsigned char*>(packet.data()), packet.size());
  std::size_t readWhole = 0;
  OutputCapture capture;
  dispatch.receive(reader, [&] { readWhole = reader.consumed(); });
  EXPECT_EQ(readWhole, packet.size()) << "the packet was not read whole before its handler";
  EXPECT_EQ(reader.consumed(), packet.size());
  errors = capture.err();
  return capture.out();
}

// The ids that the dispatch takes, from the catalogue.
std::set<int> dispatchedIds() {
  std::set<int> ids;
#define TS_DISPATCHED_Dispatched(packetId) ids.insert(packetId);
#define TS_DISPATCHED_Unknown(packetId)
#define TS_DISPATCHED(packetId, Class, Read, Write, Dispatch, fields)                              \
  TS_DISPATCHED_##Dispatch(packetId)
  TS_PACKET_CATALOGUE(TS_DISPATCHED)
#undef TS_DISPATCHED
#undef TS_DISPATCHED_Unknown
#undef TS_DISPATCHED_Dispatched
  return ids;
}

Wire openWindow(int type) { return Wire().i8(0x64).i8(1).i8(type).string16("Chest").i8(27); }

} // namespace

// Every dispatched id reaches its handler, is read whole, and the default
// prints its lines (or nothing). Each id of the catalogue's dispatch table
// has a case here.
TEST(DefaultHandlers, PrintTheirLines) {
  const PacketDispatch dispatch;
  const std::vector<HandlerCase> cases = {
      {"Ping", Wire().i8(0x00).i32(3), {}},
      {"Login", Wire().i8(0x01).i32(42).string16("").i64(-5).i32(0).i8(0).i8(0).i8(0).i8(0),
       {"received login packet", "your entity id: 42", "Map Seed of server: -5"}},
      {"HandShake", Wire().i8(0x02).string16("-"), {"handshake: \"-\"", "handshakelen: \"1\""}},
      {"ChatMessage", Wire().i8(0x03).string16("hello there"), {"Chat: hello there"}},
      {"TimeUpdate", Wire().i8(0x04).i64(6000), {}},
      {"EntityEquipment", Wire().i8(0x05).i32(3).i16(4).i16(276).i16(0),
       {"entity(3) equipment change: 4, 276"}},
      {"SpawnPoint", Wire().i8(0x06).i32(1).i32(64).i32(-2), {"Your spawnpoint now is: 1, 64, -2"}},
      {"UseEntity", Wire().i8(0x07).i32(1).i32(2).boolean(true), {"Use Entity"}},
      {"UpdateHealth", Wire().i8(0x08).i16(20).i16(18).f32(5),
       {"Your health has been updated to 20"}},
      {"Respawn", Wire().i8(0x09).i8(0).i8(1).i8(0).i16(128).i64(9),
       {"The server has accepted your respawn request"}},
      {"PlayerPosition", Wire().i8(0x0B).f64(1.5).f64(64).f64(65.62).f64(-3).boolean(true),
       {"received position packet: x,y,z,stance = 1.5,64,-3,65.62"}},
      {"PlayerPosAndLook",
       Wire().i8(0x0D).f64(1).f64(2).f64(3).f64(4).f32(5.5f).f32(-6.25f).boolean(true),
       {"received pos and look packet: ", "x,y,z,stance = 1,3,4,2",
        "yaw, pitch, on_ground5.5,-6.25,1", "answering with same packet"}},
      {"PlayerDig", Wire().i8(0x0E).i8(0).i32(1).i8(2).i32(3).i8(1), {}},
      {"UseBed", Wire().i8(0x11).i32(1).i8(0).i32(1).i8(2).i32(3), {"Use Bed"}},
      {"Animation", Wire().i8(0x12).i32(7).i8(1), {"7 changed it's animation to: 1"}},
      {"NamedEntitySpawn",
       Wire().i8(0x14).i32(12).string16("Bob").i32(1).i32(2).i32(3).i8(0).i8(0).i16(0),
       {"A named entity spawned: 12, Bob"}},
      {"PickupSpawn",
       Wire().i8(0x15).i32(5).i16(264).i8(1).i16(3).i32(10).i32(20).i32(30).i8(-1).i8(2).i8(3),
       {"received pickupspawn", "5", "3", "10", "20", "30", "-1", "2", "3"}},
      {"CollectItem", Wire().i8(0x16).i32(8).i32(9),
       {"The item may now start flying towards you: 8"}},
      {"AddObject without speed", Wire().i8(0x17).i32(1).i8(10).i32(0).i32(0).i32(0).i32(0),
       {"A new vehicle or projectile has been created: 10"}},
      {"AddObject with speed",
       Wire().i8(0x17).i32(1).i8(60).i32(0).i32(0).i32(0).i32(1).i16(1).i16(2).i16(3),
       {"A new vehicle or projectile has been created: 60"}},
      {"MobSpawn",
       Wire().i8(0x18).i32(33).i8(50).i32(1).i32(2).i32(3).i8(4).i8(5).i8(0x00).i8(0x05).i8(0x21)
           .i16(10).i8(0x7F),
       {"received mobspawn", "33", "50", "2", "1", "2", "3", "4", "5"}},
      {"EntityPainting", Wire().i8(0x19).i32(1).string16("Kebab").i32(1).i32(2).i32(3).i32(0),
       {"something happened with a painting at 1, 2, 3"}},
      {"ExperienceOrb", Wire().i8(0x1A).i32(1).i32(1).i32(2).i32(3).i16(5),
       {"experience orb at: 1, 2, 3"}},
      {"EntityVelocity", Wire().i8(0x1C).i32(4).i16(0).i16(0).i16(0),
       {"velocity of entity 4 updated"}},
      {"DestroyEntity", Wire().i8(0x1D).i32(4), {"entity 4 destroyed"}},
      {"Entity", Wire().i8(0x1E).i32(4), {}},
      {"EntityRelativeMove", Wire().i8(0x1F).i32(4).i8(1).i8(2).i8(3), {}},
      {"EntityLook", Wire().i8(0x20).i32(4).i8(1).i8(2), {}},
      {"EntityLookAndMove", Wire().i8(0x21).i32(4).i8(1).i8(2).i8(3).i8(4).i8(5), {}},
      {"EntityTeleport", Wire().i8(0x22).i32(4).i32(1).i32(2).i32(3).i8(0).i8(0),
       {"entity 4 teleported"}},
      {"EntityStatus", Wire().i8(0x26).i32(4).i8(2), {"entity 4 status update to 2"}},
      {"AttachEntity", Wire().i8(0x27).i32(4).i32(5), {"entity 4 has been attached to 5"}},
      {"EntityMetadata", Wire().i8(0x28).i32(4).i8(0x7F), {"entity 4 has new metadata"}},
      {"EntityEffect", Wire().i8(0x29).i32(4).i8(1).i8(0).i16(100), {"entity effect 1 added to 4"}},
      {"RemoveEntityEffect", Wire().i8(0x2A).i32(4).i8(1), {"entity effect 1 removed from 4"}},
      {"Experience", Wire().i8(0x2B).i8(3).i8(1).i16(20), {"experience: 3"}},
      {"Prechunk", Wire().i8(0x32).i32(-2).i32(3).i8(1),
       {"received prechunk for pos: -2, 3 ... mode: 1"}},
      {"MapChunk", Wire().i8(0x33).i32(-32).i16(0).i32(48).i8(15).i8(127).i8(15).zeros(81920),
       {"received MapChunk: -32, 0, 48 of size: 15, 127, 15"}},
      {"MultiBlockChange", Wire().i8(0x34).i32(1).i32(2).i16(1).i16(0x1240).i8(3).i8(0),
       {"received multi block change(x,z): 1, 2"}},
      {"BlockChange", Wire().i8(0x35).i32(10).i8(64).i32(-3).i8(1).i8(0),
       {"received block change: 10, 64, -3: 1, 0"}},
      {"BlockAction", Wire().i8(0x36).i32(1).i16(2).i32(3).i8(0).i8(5),
       {"You hear some music playing at 1, 2, 3"}},
      {"Explosion", Wire().i8(0x3C).i32(1).i8(2).i32(3).f32(4).i32(1).i8(1).i8(0).i8(-1),
       {"Explosion at 1, 2, 3"}},
      {"Sound", Wire().i8(0x3D).i32(1000).i32(1).i8(2).i32(3).i32(0), {}},
      {"StateChange", Wire().i8(0x46).i8(1).i8(0), {}},
      {"Thunderbolt", Wire().i8(0x47).i32(1).boolean(true).i32(1).i32(2).i32(3), {}},
      {"OpenWindow basic", openWindow(0), {"Please open inventory 1 of type basic"}},
      {"OpenWindow workbench", openWindow(1), {"Please open inventory 1 of type workbench"}},
      {"OpenWindow furnace", openWindow(2), {"Please open inventory 1 of type furnace"}},
      {"OpenWindow dispenser", openWindow(3), {"Please open inventory 1 of type dispenser"}},
      {"OpenWindow 4", openWindow(4), {"Please open inventory 1 of type unknown"}},
      {"OpenWindow negative", openWindow(-1), {"Please open inventory 1 of type unknown"}},
      {"CloseWindow", Wire().i8(0x65).i8(1), {"Please close window 1"}},
      {"SetSlot empty", Wire().i8(0x67).i8(0).i16(5).i16(-1), {"received SetSlot for window: 0"}},
      {"SetSlot stack", Wire().i8(0x67).i8(2).i16(5).i16(1).i8(64).i16(0),
       {"received SetSlot for window: 2"}},
      {"WindowItems", Wire().i8(0x68).i8(0).i16(2).i16(-1).i16(3).i8(1).i16(0),
       {"received window items for window 0"}},
      {"UpdateProgressBar", Wire().i8(0x69).i8(2).i16(0).i16(50),
       {"progress bar 0 of window 2 updated to 50"}},
      {"Transaction refused", Wire().i8(0x6A).i8(0).i16(12).boolean(false),
       {"transaction 12 was not accepted"}},
      {"Transaction accepted", Wire().i8(0x6A).i8(0).i16(12).boolean(true),
       {"transaction 12 was accepted"}},
      {"CreativeInventoryAction", Wire().i8(0x6B).i16(1).i16(2).i16(3).i16(4), {}},
      {"UpdateSign",
       Wire().i8(0x82).i32(1).i16(2).i32(3).string16("a").string16("").string16("c d")
           .string16("e"),
       {"sign at 1, 2, 3 now reads:", "\"a\"", "\"\"", "\"c d\"", "\"e\""}},
      {"ItemData", Wire().i8(0x83).i16(358).i16(1).i8(2).i8(7).i8(8), {}},
      {"Statistic", Wire().i8(0xC8).i32(1).i8(1), {}},
      {"PlayerListItem", Wire().i8(0xC9).string16("Bob").boolean(true).i16(20), {}},
      {"Disconnect", Wire().i8(0xFF).string16("bye"), {"You have been kicked by the server: bye"}},
      {"Disconnect with a reason that cannot be allocated", Wire().i8(0xFF).i16(-1),
       {"disconnect crashed", "You have been kicked by the server: std::bad_alloc"}},
  };
  std::set<int> covered;
  for (const HandlerCase& test : cases) {
    covered.insert(static_cast<unsigned char>(test.packet.front()));
  }
  EXPECT_EQ(covered, dispatchedIds());
  for (const HandlerCase& test : cases) {
    SCOPED_TRACE(test.name);
    Lines errors;
    EXPECT_EQ(defaultHandlerLines(dispatch, test.packet, errors), test.lines);
    EXPECT_EQ(errors, Lines());
  }
}

// A registered handler takes its packets in place of the log lines, and can
// print them too; other packets keep theirs.
TEST(PacketDispatch, RegisteredHandlersReplaceTheDefault) {
  PacketDispatch dispatch;
  std::vector<int> pings;
  dispatch.on<TSPackets::Ping>(
      [&](const TSPackets::Ping& ping) { pings.push_back(ping.keepAliveId); });
  dispatch.on<TSPackets::ChatMessage>([](const TSPackets::ChatMessage& chat) {
    logPacket(chat);
    std::cout << "shown: " << chat.message << std::endl;
  });
  Lines errors;
  EXPECT_EQ(defaultHandlerLines(dispatch, Wire().i8(0x00).i32(9), errors), Lines());
  EXPECT_EQ(pings, std::vector<int>{9});
  EXPECT_EQ(defaultHandlerLines(dispatch, Wire().i8(0x03).string16("hi"), errors),
            (Lines{"Chat: hi", "shown: hi"}));
  EXPECT_EQ(defaultHandlerLines(dispatch, Wire().i8(0x1D).i32(4), errors),
            Lines{"entity 4 destroyed"});
}

// Only bytes already received are read: a packet that has not arrived whole
// says how much it needs and reaches no handler; an id outside the table is
// refused before anything else is read.
TEST(PacketDispatch, IncompleteAndUnknownPacketsReachNoHandler) {
  PacketDispatch dispatch;
  int handled = 0;
  dispatch.on<TSPackets::ChatMessage>([&](const TSPackets::ChatMessage&) { ++handled; });
  const std::string chat = Wire().i8(0x03).string16("hello");
  for (std::size_t size = 1; size < chat.size(); ++size) {
    SCOPED_TRACE(size);
    ByteReader reader(reinterpret_cast<const unsigned char*>(chat.data()), size);
    bool whole = false;
    try {
      dispatch.receive(reader, [&] { whole = true; });
      ADD_FAILURE() << "an incomplete packet was taken";
    } catch (const NeedMoreBytes& more) {
      EXPECT_GT(more.total, size);
      EXPECT_LE(more.total, chat.size());
    }
    EXPECT_FALSE(whole);
  }
  EXPECT_EQ(handled, 0);
  for (int id : {0x0A, 0x1B, 0x25, 0xFE}) {
    SCOPED_TRACE(id);
    const std::string bytes = Wire().i8(id).i32(0);
    ByteReader reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_THROW(dispatch.receive(reader, [] {}), UnknownPacketId);
    EXPECT_EQ(reader.consumed(), 1u);
  }
}
