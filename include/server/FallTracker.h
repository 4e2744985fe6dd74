#ifndef FALL_TRACKER_H
#define FALL_TRACKER_H

#include <optional>

namespace Server {

// How far a player falls, from the client's reports of its height and
// whether it stands on the ground: the fall runs from the highest point
// since the player last stood on the ground down to where it lands. Water
// breaks a fall. The first three blocks cost nothing, each block (or part
// of one) after them one point of health.
class FallTracker {
public:
  // Blocks a player may fall unhurt.
  static constexpr double SafeHeight = 3;

  // Where the server has put the player, standing: nothing before counts.
  void placed(double y);

  // A report of the player's height (feet), footing, and whether the feet
  // are in water.
  struct Report {
    double y = 0;
    bool onGround = false;
    bool inWater = false;
  };
  // A landing that costs health: how far the player fell and how many
  // points it costs.
  struct Landing {
    double fallen = 0;
    int damage = 0;
  };
  // The report's landing, when the player comes down on the ground after
  // being off it from high enough to be hurt.
  std::optional<Landing> report(const Report& report);

private:
  bool m_onGround = true;
  double m_top = 0;
};

} // namespace Server

#endif
