#include "player/Movement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "world/BlockKinds.h"

namespace PlayerBody {

namespace {

// Per tick, in blocks: what players of the protocol know.
constexpr double Gravity = 0.08;
constexpr double AirDrag = 0.98;
constexpr double GroundFriction = 0.546;
constexpr double AirFriction = 0.91;
constexpr double GroundAcceleration = 0.1;
constexpr double AirAcceleration = 0.02;
constexpr double RunFactor = 1.3;
constexpr double JumpSpeed = 0.42;
constexpr double WaterDrag = 0.8;
constexpr double LavaDrag = 0.5;
constexpr double FluidAcceleration = 0.02;
constexpr double FluidSinking = 0.02;
constexpr double SwimLift = 0.04;
// A swimmer pushing against a bank whose top is within this height of the
// feet leaves the water as with a jump: so a player climbs out onto ground
// a block above the water, not onto a higher wall.
constexpr double BankHeight = 1.3;
// No body moves further in a tick; a faster one would be a fault upstream,
// and the sweep stays short.
constexpr double MaxStep = 10;
// Slower than this along x or z, a body comes to rest: friction alone
// would only ever halve the speed.
constexpr double RestSpeed = 0.005;
// Faces that touch do not overlap.
constexpr double Touch = 1e-9;

enum class Medium { Air, Water, Lava };

struct Box {
  double min[3];
  double max[3];
};

Box boxAt(const Vox::Vector3DDouble& feet) {
  const double half = Width / 2;
  return {{feet.x - half, feet.y, feet.z - half}, {feet.x + half, feet.y + Height, feet.z + half}};
}

// The block holding a coordinate, kept within the 32-bit block range.
std::int32_t blockOf(double coordinate) {
  const double block = std::floor(coordinate);
  if (!(block > std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (!(block < std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(block);
}

// The blocks a span [low, high] overlaps, faces that only touch left out.
struct Span {
  std::int32_t first;
  std::int32_t last;
};

Span spanOf(double low, double high) { return {blockOf(low + Touch), blockOf(high - Touch)}; }

bool stops(const std::optional<std::uint8_t>& block) { return !block || isSolid(*block); }

template <class Visit> void forEachBlock(Span x, Span y, Span z, Visit visit) {
  for (std::int64_t bx = x.first; bx <= x.last; ++bx)
    for (std::int64_t by = y.first; by <= y.last; ++by)
      for (std::int64_t bz = z.first; bz <= z.last; ++bz)
        visit(std::int32_t(bx), std::int32_t(by), std::int32_t(bz));
}

Medium mediumOf(const Box& box, const BlockSource& blocks) {
  Medium medium = Medium::Air;
  forEachBlock(spanOf(box.min[0], box.max[0]), spanOf(box.min[1], box.max[1]),
               spanOf(box.min[2], box.max[2]), [&](std::int32_t x, std::int32_t y, std::int32_t z) {
                 const std::optional<std::uint8_t> block = blocks.blockAt(x, y, z);
                 if (!block)
                   return;
                 const BlockKind kind = blockInfo(*block).kind;
                 if (kind == BlockKind::Lava)
                   medium = Medium::Lava;
                 else if (kind == BlockKind::Water && medium == Medium::Air)
                   medium = Medium::Water;
               });
  return medium;
}

// How far the box gets along one axis towards `delta`: stopped by the
// nearest face of a block that stops it ahead. Blocks it already overlaps
// do not hold it, so a player placed inside a wall can walk out.
double sweep(const Box& box, int axis, double delta, const BlockSource& blocks) {
  if (delta == 0)
    return 0;
  const double lead = delta > 0 ? box.max[axis] : box.min[axis];
  Span spans[3];
  for (int other = 0; other < 3; ++other)
    spans[other] = spanOf(box.min[other], box.max[other]);
  spans[axis] = delta > 0 ? Span{blockOf(lead - Touch) + 1, blockOf(lead + delta - Touch)}
                          : Span{blockOf(lead + delta + Touch), blockOf(lead + Touch) - 1};
  double allowed = delta;
  forEachBlock(spans[0], spans[1], spans[2], [&](std::int32_t x, std::int32_t y, std::int32_t z) {
    if (!stops(blocks.blockAt(x, y, z)))
      return;
    const std::int32_t cell[3] = {x, y, z};
    if (delta > 0)
      allowed = std::min(allowed, double(cell[axis]) - box.max[axis]);
    else
      allowed = std::max(allowed, double(cell[axis]) + 1 - box.min[axis]);
  });
  return delta > 0 ? std::max(allowed, 0.0) : std::min(allowed, 0.0);
}

void shift(Box& box, int axis, double by) {
  box.min[axis] += by;
  box.max[axis] += by;
}

bool columnArrived(const Vox::Vector3DDouble& feet, const BlockSource& blocks) {
  return blocks.blockAt(blockOf(feet.x), 0, blockOf(feet.z)).has_value();
}

void accelerate(State& next, const Controls& controls, double acceleration) {
  double forward = controls.forward;
  double strafe = controls.strafe;
  const double length = std::hypot(forward, strafe);
  if (length > 1) {
    forward /= length;
    strafe /= length;
  }
  const double yaw = controls.yaw * M_PI / 180;
  const double gain = acceleration * (controls.run ? RunFactor : 1);
  next.velocity.x += (forward * -std::sin(yaw) + strafe * std::cos(yaw)) * gain;
  next.velocity.z += (forward * std::cos(yaw) + strafe * std::sin(yaw)) * gain;
}

} // namespace

bool collides(const Vox::Vector3DDouble& feet, const BlockSource& blocks) {
  const Box box = boxAt(feet);
  bool blocked = false;
  forEachBlock(spanOf(box.min[0], box.max[0]), spanOf(box.min[1], box.max[1]),
               spanOf(box.min[2], box.max[2]), [&](std::int32_t x, std::int32_t y, std::int32_t z) {
                 blocked = blocked || stops(blocks.blockAt(x, y, z));
               });
  return blocked;
}

// The tick's push from the controls, then the move, y first so that the
// ground is found before walking, then the medium's drag and gravity for
// the next tick.
State step(const State& state, const Controls& controls, const BlockSource& blocks) {
  State next = state;
  Box box = boxAt(state.feet);
  const Medium medium = mediumOf(box, blocks);
  const bool arrived = columnArrived(state.feet, blocks);
  if (medium != Medium::Air)
    accelerate(next, controls, FluidAcceleration);
  else
    accelerate(next, controls, state.onGround ? GroundAcceleration : AirAcceleration);
  if (controls.jump && medium != Medium::Air)
    next.velocity.y += SwimLift;
  else if (controls.jump && state.onGround)
    next.velocity.y = JumpSpeed;
  if (!arrived)
    next.velocity.y = 0;

  double* velocity[3] = {&next.velocity.x, &next.velocity.y, &next.velocity.z};
  double moved[3] = {0, 0, 0};
  double wanted[3] = {0, 0, 0};
  for (int axis : {1, 0, 2}) {
    wanted[axis] = std::clamp(*velocity[axis], -MaxStep, MaxStep);
    moved[axis] = sweep(box, axis, wanted[axis], blocks);
    shift(box, axis, moved[axis]);
    if (moved[axis] != wanted[axis])
      *velocity[axis] = 0;
  }
  // Standing is a fall the ground stops, tick after tick.
  next.onGround = wanted[1] < 0 && moved[1] != wanted[1];
  next.feet = state.feet + Vox::Vector3DDouble(moved[0], moved[1], moved[2]);
  const bool stoppedSideways = moved[0] != wanted[0] || moved[2] != wanted[2];

  switch (medium) {
  case Medium::Air: {
    next.velocity.y = (next.velocity.y - Gravity) * AirDrag;
    const double friction = next.onGround ? GroundFriction : AirFriction;
    next.velocity.x *= friction;
    next.velocity.z *= friction;
    break;
  }
  case Medium::Water:
  case Medium::Lava: {
    const double drag = medium == Medium::Water ? WaterDrag : LavaDrag;
    next.velocity = next.velocity * drag;
    next.velocity.y -= FluidSinking;
    break;
  }
  }
  if (medium != Medium::Air && stoppedSideways &&
      !collides(next.feet + Vox::Vector3DDouble(wanted[0], BankHeight, wanted[2]), blocks))
    next.velocity.y = JumpSpeed;
  if (!arrived)
    next.velocity.y = 0;
  if (std::abs(next.velocity.x) < RestSpeed)
    next.velocity.x = 0;
  if (std::abs(next.velocity.z) < RestSpeed)
    next.velocity.z = 0;
  return next;
}

} // namespace PlayerBody
