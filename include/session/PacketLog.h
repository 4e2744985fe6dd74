#ifndef SESSION_PACKET_LOG_H
#define SESSION_PACKET_LOG_H

// The client's log line or lines for each packet it takes from a server:
// what is printed where nothing else handles the packet, and what a handler
// that does more calls for the line too. Many packets print nothing.

#include "TSPackets.h"

#define TS_PACKET_LOG_Dispatched(Class) void logPacket(const TSPackets::Class& packet);
#define TS_PACKET_LOG_Unknown(Class)
#define TS_DECLARE_PACKET_LOG(packetId, Class, Read, Write, Dispatch, fields)                      \
  TS_PACKET_LOG_##Dispatch(Class)
TS_PACKET_CATALOGUE(TS_DECLARE_PACKET_LOG)
#undef TS_DECLARE_PACKET_LOG
#undef TS_PACKET_LOG_Unknown
#undef TS_PACKET_LOG_Dispatched

#endif
