#ifndef ENTITIES_STRIDE_H
#define ENTITIES_STRIDE_H

// How far a walking player's legs swing, from the distance its position
// moves each update: a full swing back and forth every StrideBlocks walked,
// as wide as the pace (averaged over a few updates, since servers send the
// moves of others every tick or every few ticks), easing back to upright
// once the player stands. Jumps that long are teleports, not steps.

namespace Entities {

class Stride {
public:
  // The distance walked for one full swing of the legs.
  static constexpr double StrideBlocks = 1.6;
  // The swing at a walking pace or faster, either way from upright.
  static constexpr float MaxSwingDegrees = 40;
  // A horizontal move longer than this in one update is a teleport.
  static constexpr double TeleportBlocks = 2;

  // Takes one update's horizontal move, in blocks.
  void walk(double blocks);
  // The leading leg's angle from upright, forward positive; the other leg
  // and the arms swing the other way or along with it.
  float swingDegrees() const;

private:
  // In turns of the swing, 0 to 1.
  double m_phase = 0;
  // Blocks per update, averaged.
  double m_pace = 0;
};

} // namespace Entities

#endif
