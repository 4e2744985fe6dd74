#ifndef SERVER_PACKETS_H
#define SERVER_PACKETS_H

// The server's side of the packet catalogue. The packet classes are the
// client's, which refuse to write what only a server sends; here every packet
// is written the way the client reads it, and the client's own packets are
// read the way the client writes them.

#include <sstream>
#include <string>

#include "TSPackets.h"

namespace ServerPackets {

// One writer for every packet that the client reads field by field, in the
// catalogue's order. A metadata member holds the raw run, 0x7F included.
#define TS_SERVER_WRITER_Fields(Class) void write(std::ostream& out, const TSPackets::Class& packet);
#define TS_SERVER_WRITER_Custom(Class)
#define TS_SERVER_WRITER_NotCall(Class)
#define TS_SERVER_WRITER_NeverReceive(Class)
#define TS_SERVER_DECLARE_WRITER(packetId, Class, Read, Write, Dispatch, fields)                   \
  BOOST_PP_CAT(TS_SERVER_WRITER_, Read)(Class)
TS_PACKET_CATALOGUE(TS_SERVER_DECLARE_WRITER)
#undef TS_SERVER_DECLARE_WRITER
#undef TS_SERVER_WRITER_Fields
#undef TS_SERVER_WRITER_Custom
#undef TS_SERVER_WRITER_NotCall
#undef TS_SERVER_WRITER_NeverReceive

// In the server's order (stance before y).
void write(std::ostream& out, const TSPackets::PlayerPosAndLook& packet);
// The nibble lists hold values 0 to 15, one per block; the payload is
// compressed here.
void write(std::ostream& out, const TSPackets::MapChunk& packet);

// Stacks whose item id is -1 are written without count and damage.
void write(std::ostream& out, const TSPackets::SetSlot& packet);
void write(std::ostream& out, const TSPackets::WindowItems& packet);

template <typename Packet> std::string bytes(const Packet& packet) {
  std::ostringstream out;
  write(out, packet);
  return out.str();
}

// The client's movement packets that the client itself never reads, after
// their id byte, in the client's order (y before stance). PlayerPosition
// parses in that order already.
TSPackets::Player readPlayer(asio::ip::tcp::socket& socket);
TSPackets::PlayerPosAndLook readPlayerPosAndLook(asio::ip::tcp::socket& socket);

} // namespace ServerPackets

#endif
