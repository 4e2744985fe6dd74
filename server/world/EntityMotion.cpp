#include "server/EntityMotion.h"

#include <cmath>
#include <limits>

#include "TSPackets.h"
#include "server/ServerPackets.h"

namespace Server {

namespace {

bool fitsByte(long long step) { return step >= -128 && step <= 127; }

} // namespace

bool operator==(const FixedPosition& a, const FixedPosition& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

int toFixed(double blocks) {
  const double fixed = std::floor(blocks * 32.0);
  if (!(fixed > std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  if (!(fixed < std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  return static_cast<int>(fixed);
}

FixedPosition toFixed(double x, double y, double z) { return {toFixed(x), toFixed(y), toFixed(z)}; }

signed char angleByte(double degrees) {
  if (!std::isfinite(degrees))
    return 0;
  const double turn = std::fmod(degrees, 360.0) / 360.0 * 256.0;
  return static_cast<signed char>(static_cast<long long>(std::floor(turn)) & 0xFF);
}

std::string movePacket(int entityId, const FixedPosition& from, const FixedPosition& to,
                       signed char yaw, signed char pitch) {
  const long long dx = static_cast<long long>(to.x) - from.x;
  const long long dy = static_cast<long long>(to.y) - from.y;
  const long long dz = static_cast<long long>(to.z) - from.z;
  if (fitsByte(dx) && fitsByte(dy) && fitsByte(dz)) {
    TSPackets::EntityLookAndMove move;
    move.entityId = entityId;
    move.dx = static_cast<signed char>(dx);
    move.dy = static_cast<signed char>(dy);
    move.dz = static_cast<signed char>(dz);
    move.yaw = yaw;
    move.pitch = pitch;
    return ServerPackets::bytes(move);
  }
  TSPackets::EntityTeleport teleport;
  teleport.entityId = entityId;
  teleport.x = to.x;
  teleport.y = to.y;
  teleport.z = to.z;
  teleport.yaw = yaw;
  teleport.pitch = pitch;
  return ServerPackets::bytes(teleport);
}

} // namespace Server
