#ifndef INVENTORY_HEALTH_H
#define INVENTORY_HEALTH_H

// The player's health and food as the server's UpdateHealth gives them:
// health in half hearts (20 is full), food in half shanks (20 is full).
// A loss of health flashes the screen for a moment; at 0 the player is dead
// until the server respawns them.

#include <chrono>
#include <cstdint>
#include <optional>

class Health {
public:
  using Clock = std::chrono::steady_clock;

  static constexpr int Full = 20;
  // Hearts and shanks drawn: each stands for two points.
  static constexpr int Symbols = 10;
  static constexpr Clock::duration FlashTime = std::chrono::milliseconds(500);

  // What a symbol shows.
  enum class Fill : std::uint8_t { Empty, Half, Full };

  // UpdateHealth.
  void update(int health, int food, Clock::time_point now);
  // A new life, or a new world: full, not dead, no flash, nothing heard
  // from the server yet.
  void reset();

  // Whether the server has said anything of the health in this world.
  bool known() const { return m_known; }
  int health() const { return m_health; }
  int food() const { return m_food; }
  bool dead() const { return m_known && m_health <= 0; }

  // The symbol at `index` (0 the leftmost) for `points` of 20.
  static Fill fill(int points, int index);
  // How strongly the screen flashes now, 1 at the loss and 0 once it is
  // over.
  float flash(Clock::time_point now) const;

private:
  bool m_known = false;
  int m_health = Full;
  int m_food = Full;
  std::optional<Clock::time_point> m_hurtAt;
};

#endif
