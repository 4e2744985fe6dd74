#ifndef PLAYER_DIGGING_H
#define PLAYER_DIGGING_H

// Digging by holding the dig button on an aimed block, tick by tick: the
// dig starts on the block aimed at, and finishes once the block's dig time
// by hand has passed with the button held and the same block aimed at.
// Releasing the button or aiming away ends the dig without finishing it. In
// creative mode a dig finishes as it starts. The block itself goes when the
// server says so.

#include <cstdint>
#include <optional>
#include <vector>

#include "player/Aim.h"

class Digging {
public:
  // What the server is told: the protocol's PlayerDig statuses.
  struct Event {
    enum class Kind : std::uint8_t { Started = 0, Finished = 2 } kind;
    AimedBlock target;

    friend bool operator==(const Event& a, const Event& b) {
      return a.kind == b.kind && a.target == b.target;
    }
  };

  // One tick: whether the button is held, what is aimed at and its block
  // type. Returns what to tell the server, in order.
  std::vector<Event> tick(bool held, const std::optional<AimedBlock>& aimed,
                          std::uint8_t blockType, bool creative);

  // The dig under way and how far it has got, 0 to 1; none when nothing is
  // dug.
  std::optional<AimedBlock> target() const { return m_target; }
  std::optional<float> progress() const;

private:
  void stop() { m_target.reset(); }

  std::optional<AimedBlock> m_target;
  std::uint32_t m_ticks = 0;
  std::uint32_t m_needed = 0;
  bool m_finished = false;
  bool m_unbreakable = false;
};

#endif
