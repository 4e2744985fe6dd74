#include "MetadataPacket.h"

#include <sstream>

#include "TSDataTypes.h"
#include "TSPackets.h"

// Entries of type 0 (a byte value) under keys 0 to 31 in turn: two bytes
// each, the cheapest entries to send and among the dearest per byte to
// parse.
std::string metadataPacket(std::size_t listBytes) {
  std::ostringstream out;
  TSDataTypes::writeByte(out, static_cast<signed char>(TSPackets::EntityMetadata::Id));
  TSDataTypes::writeInt(out, 4711);
  for (std::size_t entry = 0; entry < listBytes / 2; ++entry) {
    TSDataTypes::writeByte(out, static_cast<signed char>(entry % 32));
    TSDataTypes::writeByte(out, static_cast<signed char>(entry));
  }
  TSDataTypes::writeByte(out, 0x7F);
  return out.str();
}
