#include "TSPackets.h"

#include "PositionLayouts.h"
#include "TSDataTypes.h"

// parse and writeToStream of every catalogue row, generated from its Read and
// Write modes; the Custom ones with field orders or conditional tails follow
// by hand, the list payloads are in TSPacketPayloads.cpp.

namespace TSPackets {

using namespace TSDataTypes;

void Packet::parse(asio::ip::tcp::socket& socket) {
  SocketInput in(socket);
  parse(in);
}

void Packet::write(std::ostream& out) const {
  writeByte(out, id);
  writeToStream(out);
}

#define TS_PARSE_FIELD(r, data, field)                                                             \
  TS_FIELD_NAME(field) = BOOST_PP_CAT(parse, TS_FIELD_KIND(field))(in);
#define TS_WRITE_FIELD(r, data, field) BOOST_PP_CAT(write, TS_FIELD_KIND(field))(out, TS_FIELD_NAME(field));

#define TS_REFUSAL_NotCall "I'm a client, I don't call this"
#define TS_REFUSAL_NotSend "I'm a client, I don't send this"
#define TS_REFUSAL_NeverReceive "I'm a client, I never receive this"

#define TS_PARSE_Fields(Class, fields)                                                             \
  void Class::parse(WireInput& in) { BOOST_PP_SEQ_FOR_EACH(TS_PARSE_FIELD, ~, fields) }
#define TS_PARSE_REFUSED(Class, text)                                                              \
  void Class::parse(WireInput&) { throw text; }
#define TS_PARSE_NotCall(Class, fields) TS_PARSE_REFUSED(Class, TS_REFUSAL_NotCall)
#define TS_PARSE_NotSend(Class, fields) TS_PARSE_REFUSED(Class, TS_REFUSAL_NotSend)
#define TS_PARSE_NeverReceive(Class, fields) TS_PARSE_REFUSED(Class, TS_REFUSAL_NeverReceive)
#define TS_PARSE_Custom(Class, fields)

#define TS_WRITE_Fields(Class, fields)                                                             \
  void Class::writeToStream(std::ostream& out) const {                                             \
    BOOST_PP_SEQ_FOR_EACH(TS_WRITE_FIELD, ~, fields)                                               \
  }
#define TS_WRITE_Nothing(Class, fields)                                                            \
  void Class::writeToStream(std::ostream&) const {}
#define TS_WRITE_REFUSED(Class, text)                                                              \
  void Class::writeToStream(std::ostream&) const { throw text; }
#define TS_WRITE_NotCall(Class, fields) TS_WRITE_REFUSED(Class, TS_REFUSAL_NotCall)
#define TS_WRITE_NotSend(Class, fields) TS_WRITE_REFUSED(Class, TS_REFUSAL_NotSend)
#define TS_WRITE_NeverReceive(Class, fields) TS_WRITE_REFUSED(Class, TS_REFUSAL_NeverReceive)
#define TS_WRITE_Custom(Class, fields)

#define TS_DEFINE_PACKET(packetId, Class, Read, Write, Dispatch, fields)                           \
  BOOST_PP_CAT(TS_PARSE_, Read)(Class, fields) BOOST_PP_CAT(TS_WRITE_, Write)(Class, fields)

TS_PACKET_CATALOGUE(TS_DEFINE_PACKET)

namespace {

// Item-stack tails: count and damage follow the item id only when it passes
// the packet's test.
void parseSlotTail(WireInput& in, bool present, signed char& count,
                   short& damage) {
  if (present) {
    count = parseByte(in);
    damage = parseShort(in);
  }
}

void writeSlotTail(std::ostream& out, bool present, signed char count, short damage) {
  if (present) {
    writeByte(out, count);
    writeShort(out, damage);
  }
}

} // namespace

// The server sends y after the stance, the client writes it before.
void PlayerPosAndLook::parse(WireInput& in) { inServerOrder(*this, FieldReader{in}); }

void PlayerPosAndLook::writeToStream(std::ostream& out) const {
  inClientOrder(*this, FieldWriter{out});
}

// Some servers send this packet too, in the layout the client writes.
void PlayerPosition::parse(WireInput& in) { inClientOrder(*this, FieldReader{in}); }

void PlayerPosition::writeToStream(std::ostream& out) const {
  inClientOrder(*this, FieldWriter{out});
}

// The server takes at most 100 characters of chat.
void ChatMessage::writeToStream(std::ostream& out) const { writeString16(out, message, 100); }

void PlayerBlockPlace::parse(WireInput& in) {
  x = parseInt(in);
  y = parseByte(in);
  z = parseInt(in);
  direction = parseByte(in);
  itemId = parseShort(in);
  parseSlotTail(in, itemId >= 0, itemCount, damage);
}

void PlayerBlockPlace::writeToStream(std::ostream& out) const {
  writeInt(out, x);
  writeByte(out, y);
  writeInt(out, z);
  writeByte(out, direction);
  writeShort(out, itemId);
  writeSlotTail(out, itemId >= 0, itemCount, damage);
}

void WindowClick::parse(WireInput& in) {
  windowId = parseByte(in);
  slot = parseShort(in);
  rightClick = parseBool(in);
  actionNumber = parseShort(in);
  shift = parseBool(in);
  itemId = parseShort(in);
  parseSlotTail(in, itemId != -1, itemCount, damage);
}

void WindowClick::writeToStream(std::ostream& out) const {
  writeByte(out, windowId);
  writeShort(out, slot);
  writeBool(out, rightClick);
  writeShort(out, actionNumber);
  writeBool(out, shift);
  writeShort(out, itemId);
  writeSlotTail(out, itemId != -1, itemCount, damage);
}

void SetSlot::parse(WireInput& in) {
  windowId = parseByte(in);
  slot = parseShort(in);
  itemId = parseShort(in);
  parseSlotTail(in, itemId != -1, itemCount, damage);
}

void AddObject::parse(WireInput& in) {
  entityId = parseInt(in);
  type = parseByte(in);
  x = parseInt(in);
  y = parseInt(in);
  z = parseInt(in);
  flag = parseInt(in);
  if (flag != 0) {
    speedX = parseShort(in);
    speedY = parseShort(in);
    speedZ = parseShort(in);
  }
}

} // namespace TSPackets
