#include "session/PacketDispatch.h"

#include <cstdint>
#include <iostream>
#include <new>

#include "UnknownPacketId.h"
#include "session/PacketLog.h"

PacketDispatch::PacketDispatch() {
#define TS_LOG_HANDLER_Dispatched(Class)                                                           \
  on<TSPackets::Class>([](const TSPackets::Class& packet) { logPacket(packet); });
#define TS_LOG_HANDLER_Unknown(Class)
#define TS_LOG_HANDLER(packetId, Class, Read, Write, Dispatch, fields)                             \
  TS_LOG_HANDLER_##Dispatch(Class)
  TS_PACKET_CATALOGUE(TS_LOG_HANDLER)
#undef TS_LOG_HANDLER
#undef TS_LOG_HANDLER_Unknown
#undef TS_LOG_HANDLER_Dispatched
}

template <class Packet>
void PacketDispatch::receiveAs(ByteReader& reader, const std::function<void()>& whole) const {
  Packet packet;
  packet.parse(reader);
  whole();
  m_handlers[Packet::Id](packet);
}

// A reason too large to allocate still ends in the kick's handler.
template <>
void PacketDispatch::receiveAs<TSPackets::Disconnect>(ByteReader& reader,
                                                      const std::function<void()>& whole) const {
  TSPackets::Disconnect packet;
  try {
    packet.parse(reader);
  } catch (const std::bad_alloc& failure) {
    std::cout << "disconnect crashed" << std::endl;
    packet.reason = failure.what();
  }
  whole();
  m_handlers[TSPackets::Disconnect::Id](packet);
}

const std::array<PacketDispatch::Receiver, 256>& PacketDispatch::receivers() {
  static const std::array<Receiver, 256> table = [] {
    std::array<Receiver, 256> receivers{};
#define TS_RECEIVER_Dispatched(packetId, Class)                                                    \
  receivers[packetId] = &PacketDispatch::receiveAs<TSPackets::Class>;
#define TS_RECEIVER_Unknown(packetId, Class)
#define TS_RECEIVER(packetId, Class, Read, Write, Dispatch, fields)                                \
  TS_RECEIVER_##Dispatch(packetId, Class)
    TS_PACKET_CATALOGUE(TS_RECEIVER)
#undef TS_RECEIVER
#undef TS_RECEIVER_Unknown
#undef TS_RECEIVER_Dispatched
    return receivers;
  }();
  return table;
}

void PacketDispatch::receive(ByteReader& reader, const std::function<void()>& whole) const {
  std::uint8_t id = 0;
  reader.read(&id, 1);
  const Receiver receiver = receivers()[id];
  if (receiver == nullptr) {
    throw UnknownPacketId();
  }
  (this->*receiver)(reader, whole);
}
