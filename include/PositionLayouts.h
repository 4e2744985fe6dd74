#ifndef POSITION_LAYOUTS_H
#define POSITION_LAYOUTS_H

// The two wire orders of the position packets (PlayerPosition and
// PlayerPosAndLook), each written once: the server sends the stance before
// y, the client writes y before the stance. `field` is called with each
// member in its turn: a FieldReader parses the packet, a FieldWriter writes
// it.

#include <ostream>
#include <type_traits>

#include "TSDataTypes.h"
#include "TSPackets.h"

namespace TSPackets {

template <class Packet>
constexpr bool carriesLook = std::is_same_v<std::remove_const_t<Packet>, PlayerPosAndLook>;

template <class Packet, class Field> void inServerOrder(Packet& packet, Field&& field) {
  field(packet.x);
  field(packet.stance);
  field(packet.y);
  field(packet.z);
  if constexpr (carriesLook<Packet>) {
    field(packet.yaw);
    field(packet.pitch);
  }
  field(packet.onGround);
}

template <class Packet, class Field> void inClientOrder(Packet& packet, Field&& field) {
  field(packet.x);
  field(packet.y);
  field(packet.stance);
  field(packet.z);
  if constexpr (carriesLook<Packet>) {
    field(packet.yaw);
    field(packet.pitch);
  }
  field(packet.onGround);
}

// Reads a field by its member's type.
struct FieldReader {
  WireInput& in;
  void operator()(double& value) const { value = TSDataTypes::parseDouble(in); }
  void operator()(float& value) const { value = TSDataTypes::parseFloat(in); }
  void operator()(bool& value) const { value = TSDataTypes::parseBool(in); }
};

// Writes a field by its member's type.
struct FieldWriter {
  std::ostream& out;
  void operator()(double value) const { TSDataTypes::writeDouble(out, value); }
  void operator()(float value) const { TSDataTypes::writeFloat(out, value); }
  void operator()(bool value) const { TSDataTypes::writeBool(out, value); }
};

} // namespace TSPackets

#endif
