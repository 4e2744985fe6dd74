#include "session/PlayerList.h"

#include <algorithm>
#include <iostream>

void PlayerList::apply(const TSPackets::PlayerListItem& item) {
  const auto found = std::find_if(m_players.begin(), m_players.end(),
                                  [&](const Player& player) { return player.name == item.playerName; });
  if (!item.online) {
    if (found != m_players.end())
      m_players.erase(found);
    if (m_players.size() < MaxPlayers)
      m_overflowSaid = false;
    return;
  }
  if (found != m_players.end()) {
    found->ping = item.ping;
    return;
  }
  if (m_players.size() >= MaxPlayers) {
    if (!m_overflowSaid)
      std::cout << "ignored players beyond the " << MaxPlayers << " listed" << std::endl;
    m_overflowSaid = true;
    return;
  }
  m_players.push_back({item.playerName, item.ping});
}

void PlayerList::clear() {
  m_players.clear();
  m_overflowSaid = false;
}
