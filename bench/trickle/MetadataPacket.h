#ifndef TRICKLE_METADATA_PACKET_H
#define TRICKLE_METADATA_PACKET_H

// An EntityMetadata packet whose list of one-byte entries fills about the
// given number of bytes, id byte first, as a server sends it.

#include <cstddef>
#include <string>

std::string metadataPacket(std::size_t listBytes);

#endif
