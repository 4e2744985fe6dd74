#ifndef SESSION_PACKET_DISPATCH_H
#define SESSION_PACKET_DISPATCH_H

// Where each packet from the server goes, built from the packet catalogue:
// a table from id to "parse this class from the received bytes, then call
// its handler". A packet class without a handler of its own goes to its log
// lines (PacketLog.h).

#include <array>
#include <functional>

#include "ByteReader.h"
#include "TSPackets.h"

class PacketDispatch {
public:
  template <class Packet> using Handler = std::function<void(const Packet&)>;

  PacketDispatch();

  // Whether packets with this id are taken: the catalogue's Dispatched rows.
  static constexpr bool dispatches(unsigned char id) { return dispatchedIds()[id]; }

  // Packets of the class go to the handler from now on, in place of the one
  // they went to. Not while a packet of the class is being handled.
  template <class Packet> void on(Handler<Packet> handler) {
    static_assert(dispatches(Packet::Id), "the client does not take this packet");
    m_handlers[Packet::Id] = [handler = std::move(handler)](const TSPackets::Packet& packet) {
      handler(static_cast<const Packet&>(packet));
    };
  }

  // Parses the packet at the reader, id byte first, calls whole() as soon as
  // it has been read whole, then hands it to its handler. Throws
  // NeedMoreBytes while the packet is incomplete, UnknownPacketId for an id
  // that is not taken, and what parsing and the handler throw.
  void receive(ByteReader& reader, const std::function<void()>& whole) const;

private:
  using Erased = std::function<void(const TSPackets::Packet&)>;
  using Receiver = void (PacketDispatch::*)(ByteReader&, const std::function<void()>&) const;

  static constexpr std::array<bool, 256> dispatchedIds() {
    std::array<bool, 256> ids{};
#define TS_DISPATCHED_ID_Dispatched(packetId) ids[packetId] = true;
#define TS_DISPATCHED_ID_Unknown(packetId)
#define TS_DISPATCHED_ID(packetId, Class, Read, Write, Dispatch, fields)                           \
  TS_DISPATCHED_ID_##Dispatch(packetId)
    TS_PACKET_CATALOGUE(TS_DISPATCHED_ID)
#undef TS_DISPATCHED_ID
#undef TS_DISPATCHED_ID_Unknown
#undef TS_DISPATCHED_ID_Dispatched
    return ids;
  }

  static const std::array<Receiver, 256>& receivers();
  template <class Packet>
  void receiveAs(ByteReader& reader, const std::function<void()>& whole) const;

  std::array<Erased, 256> m_handlers;
};

#endif
