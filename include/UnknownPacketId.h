#ifndef UNKNOWN_PACKET_ID_H
#define UNKNOWN_PACKET_ID_H

// An id byte that no packet the client takes starts with. The connection
// reports it with the id before it, and ends the session.

#include "WireFault.h"

class UnknownPacketId : public WireFault {
public:
  UnknownPacketId() : WireFault("unknown message type received") {}
};

#endif
