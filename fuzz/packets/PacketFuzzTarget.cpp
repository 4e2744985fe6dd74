// libFuzzer entry: the input is one packet as it arrives on the wire, its id
// byte first. The body goes through the packet class's parse from memory, as
// in the receive loop; every failure parse may report is caught. A parse
// that asks for more bytes must ask for more than it was given.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "ByteReader.h"
#include "TSPackets.h"

namespace {

template <typename Packet> void parsePacket(WireInput& in) {
  Packet packet;
  packet.parse(in);
}

// Parses a packet of the given id; false when no class has that id.
bool parseById(std::uint8_t id, WireInput& in) {
  switch (id) {
#define TS_FUZZ_CASE(packetId, Class, Read, Write, Dispatch, fields)                               \
  case packetId:                                                                                   \
    parsePacket<TSPackets::Class>(in);                                                             \
    return true;
    TS_PACKET_CATALOGUE(TS_FUZZ_CASE)
#undef TS_FUZZ_CASE
  }
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  ByteReader reader(data + 1, size - 1);
  try {
    parseById(data[0], reader);
  } catch (const NeedMoreBytes& more) {
    if (more.total <= size - 1) {
      std::abort();
    }
  } catch (const std::exception&) {
  } catch (const char*) {
  }
  return 0;
}
