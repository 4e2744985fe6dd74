#ifndef SESSION_PLAYER_LIST_H
#define SESSION_PLAYER_LIST_H

// The players online on the server as its PlayerListItem packets say, each
// with the ping the server last gave, in the order they came online. A
// player the server lists again keeps the place and takes the new ping; one
// it lists as offline leaves. The list has a limit: a server may name any
// number of players, and each costs memory and a row on the screen.

#include <cstddef>
#include <string>
#include <vector>

#include "TSPackets.h"

class PlayerList {
public:
  // Many more than a server lists at once (the local one takes 20).
  static constexpr std::size_t MaxPlayers = 256;

  struct Player {
    // In the locale's character set, as the packet carries it.
    std::string name;
    // Milliseconds, as the server measured them.
    int ping = 0;
  };

  // Takes the packet; a new name beyond MaxPlayers is ignored, with a line
  // for the first of them while the list is full.
  void apply(const TSPackets::PlayerListItem& item);
  // A new session starts with an empty list.
  void clear();

  const std::vector<Player>& players() const { return m_players; }

private:
  std::vector<Player> m_players;
  // Whether a name was ignored since the list was last below its limit.
  bool m_overflowSaid = false;
};

#endif
