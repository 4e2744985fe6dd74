#ifndef PLAYER_HAND_H
#define PLAYER_HAND_H

// What the player's hand does in a tick, as the packets that tell the
// server: digging the aimed block while the dig button is held, placing the
// held item against it on a press of the place button, and the arm's swing
// that other players see.

#include <cstdint>
#include <optional>
#include <vector>

#include "TSPackets.h"
#include "player/Aim.h"
#include "player/Digging.h"

// The item in the hand as PlayerBlockPlace carries it; id -1 is the empty
// hand.
struct HeldItem {
  std::int16_t id = -1;
  std::uint8_t count = 0;
  std::int16_t damage = 0;
};

class Hand {
public:
  // The buttons over one tick: dig held at the tick or pressed since the
  // last one (a click shorter than a tick still digs), place pressed since
  // the last tick.
  struct Buttons {
    bool dig = false;
    bool place = false;
  };

  // What to send, in this order.
  struct Packets {
    std::vector<TSPackets::PlayerDig> digs;
    std::optional<TSPackets::PlayerBlockPlace> place;
    // Animation 1: a dig started or a place.
    bool swing = false;
  };

  // `aimedType` is the aimed block's type; `creative` finishes digs at once.
  Packets tick(const Buttons& buttons, const std::optional<AimedBlock>& aimed,
               std::uint8_t aimedType, bool creative, const HeldItem& held);

  // How far the dig under way has got, 0 to 1; none while nothing is dug.
  std::optional<float> digProgress() const { return m_digging.progress(); }

private:
  Digging m_digging;
};

// The packets of a dig's event and of a place against an aimed block.
TSPackets::PlayerDig digPacket(const Digging::Event& event);
TSPackets::PlayerBlockPlace placePacket(const AimedBlock& aimed, const HeldItem& held);

#endif
