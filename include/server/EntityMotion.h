#ifndef ENTITY_MOTION_H
#define ENTITY_MOTION_H

#include <string>

namespace Server {

// An entity's position as the wire carries it: whole 1/32 blocks.
struct FixedPosition {
  int x = 0;
  int y = 0;
  int z = 0;
};

bool operator==(const FixedPosition& a, const FixedPosition& b);

// Blocks to 1/32 block, rounded down and held within the int range.
int toFixed(double blocks);
FixedPosition toFixed(double x, double y, double z);

// Degrees to the wire's rotation byte (256 steps a turn).
signed char angleByte(double degrees);

// The packet that takes entity `entityId` from `from` to `to` with the given
// look: a relative look-and-move while every step fits in a byte, else a
// teleport to the absolute position.
std::string movePacket(int entityId, const FixedPosition& from, const FixedPosition& to,
                       signed char yaw, signed char pitch);

} // namespace Server

#endif
