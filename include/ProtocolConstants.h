#ifndef PROTOCOL_CONSTANTS_H
#define PROTOCOL_CONSTANTS_H

// What the client and the local world server agree on beyond the layouts of
// the packets.

namespace TSProtocol {

// The protocol version a client's Login carries in its entity id field; the
// server turns other versions away.
constexpr int Version = 17;

// How far the eye is above the feet, in blocks: a position's stance is its y
// plus this.
constexpr double EyeHeight = 1.62;

} // namespace TSProtocol

#endif
