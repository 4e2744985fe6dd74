#include "server/ServerPackets.h"

#include <stdexcept>

#include <zlib.h>

#include "PositionLayouts.h"
#include "TSDataTypes.h"

namespace ServerPackets {

using namespace TSDataTypes;

#define TS_SERVER_WRITE_FIELD(r, data, field)                                                      \
  BOOST_PP_CAT(write, TS_FIELD_KIND(field))(out, packet.TS_FIELD_NAME(field));
#define TS_SERVER_WRITER_Fields(Class, fields)                                                     \
  void write(std::ostream& out, const TSPackets::Class& packet) {                                  \
    writeByte(out, packet.id);                                                                     \
    BOOST_PP_SEQ_FOR_EACH(TS_SERVER_WRITE_FIELD, ~, fields)                                        \
  }
#define TS_SERVER_WRITER_Custom(Class, fields)
#define TS_SERVER_WRITER_NotCall(Class, fields)
#define TS_SERVER_WRITER_NeverReceive(Class, fields)
#define TS_SERVER_DEFINE_WRITER(packetId, Class, Read, Write, Dispatch, fields)                    \
  BOOST_PP_CAT(TS_SERVER_WRITER_, Read)(Class, fields)
TS_PACKET_CATALOGUE(TS_SERVER_DEFINE_WRITER)

void write(std::ostream& out, const TSPackets::PlayerPosAndLook& packet) {
  writeByte(out, packet.id);
  TSPackets::inServerOrder(packet, TSPackets::FieldWriter{out});
}

namespace {

// Block types, then the metadata, block-light and sky-light values as one
// stream of nibbles, two to a byte, high half first.
std::vector<unsigned char> chunkPayload(const TSPackets::MapChunk& packet) {
  const std::size_t n = packet.type.size();
  if (packet.metadata.size() != n || packet.blockLight.size() != n || packet.skyLight.size() != n)
    throw std::invalid_argument("map chunk lists differ in length");
  std::vector<unsigned char> payload(packet.type.begin(), packet.type.end());
  payload.reserve(n + (3 * n + 1) / 2);
  bool high = true;
  for (const auto* list : {&packet.metadata, &packet.blockLight, &packet.skyLight}) {
    for (signed char value : *list) {
      const auto nibble = static_cast<unsigned char>(value & 0x0F);
      if (high)
        payload.push_back(static_cast<unsigned char>(nibble << 4));
      else
        payload.back() = static_cast<unsigned char>(payload.back() | nibble);
      high = !high;
    }
  }
  return payload;
}

std::vector<signed char> compress(const std::vector<unsigned char>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<signed char> compressed(size);
  if (compress2(reinterpret_cast<Bytef*>(compressed.data()), &size, data.data(),
                static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::runtime_error("could not compress a map chunk");
  compressed.resize(size);
  return compressed;
}

} // namespace

void write(std::ostream& out, const TSPackets::MapChunk& packet) {
  std::vector<signed char> compressed = compress(chunkPayload(packet));
  writeByte(out, packet.id);
  writeInt(out, packet.x);
  writeShort(out, packet.y);
  writeInt(out, packet.z);
  writeByte(out, packet.sizeX);
  writeByte(out, packet.sizeY);
  writeByte(out, packet.sizeZ);
  writeInt(out, static_cast<int>(compressed.size()));
  writeByteArray(out, std::move(compressed));
}

namespace {

void writeStack(std::ostream& out, short itemId, signed char count, short damage) {
  writeShort(out, itemId);
  if (itemId != -1) {
    writeByte(out, count);
    writeShort(out, damage);
  }
}

} // namespace

void write(std::ostream& out, const TSPackets::SetSlot& packet) {
  writeByte(out, packet.id);
  writeByte(out, packet.windowId);
  writeShort(out, packet.slot);
  writeStack(out, packet.itemId, packet.itemCount, packet.damage);
}

void write(std::ostream& out, const TSPackets::WindowItems& packet) {
  const std::size_t count = packet.itemIds.size();
  if (packet.itemCounts.size() != count || packet.damages.size() != count)
    throw std::invalid_argument("window item lists differ in length");
  writeByte(out, packet.id);
  writeByte(out, packet.windowId);
  writeShort(out, static_cast<short>(count));
  for (std::size_t i = 0; i < count; ++i)
    writeStack(out, packet.itemIds[i], packet.itemCounts[i], packet.damages[i]);
}

TSPackets::Player readPlayer(asio::ip::tcp::socket& socket) {
  SocketInput in(socket);
  TSPackets::Player packet;
  packet.onGround = parseBool(in);
  return packet;
}

TSPackets::PlayerPosAndLook readPlayerPosAndLook(asio::ip::tcp::socket& socket) {
  SocketInput in(socket);
  TSPackets::PlayerPosAndLook packet;
  TSPackets::inClientOrder(packet, TSPackets::FieldReader{in});
  return packet;
}

} // namespace ServerPackets
