#include "player/Hand.h"

namespace {

// The world's blocks lie between heights 0 and 127: the packets' height is
// a byte. Aiming finds nothing outside them.
signed char heightByte(std::int32_t y) { return static_cast<signed char>(y); }

template <class Number> signed char byteOf(Number number) {
  return static_cast<signed char>(number);
}

} // namespace

Hand::Packets Hand::tick(const Buttons& buttons, const std::optional<AimedBlock>& aimed,
                         std::uint8_t aimedType, bool creative, const HeldItem& held) {
  Packets packets;
  for (const Digging::Event& event : m_digging.tick(buttons.dig, aimed, aimedType, creative)) {
    packets.digs.push_back(digPacket(event));
    if (event.kind == Digging::Event::Kind::Started)
      packets.swing = true;
  }
  // Placing while digging would put a block where the dig goes on.
  if (buttons.place && aimed && !m_digging.target()) {
    packets.place = placePacket(*aimed, held);
    packets.swing = true;
  }
  return packets;
}

TSPackets::PlayerDig digPacket(const Digging::Event& event) {
  TSPackets::PlayerDig packet;
  packet.status = byteOf(event.kind);
  packet.x = event.target.block.x;
  packet.y = heightByte(event.target.block.y);
  packet.z = event.target.block.z;
  packet.face = byteOf(event.target.face);
  return packet;
}

TSPackets::PlayerBlockPlace placePacket(const AimedBlock& aimed, const HeldItem& held) {
  TSPackets::PlayerBlockPlace packet;
  packet.x = aimed.block.x;
  packet.y = heightByte(aimed.block.y);
  packet.z = aimed.block.z;
  packet.direction = byteOf(aimed.face);
  packet.itemId = held.id;
  packet.itemCount = byteOf(held.count);
  packet.damage = held.damage;
  return packet;
}
