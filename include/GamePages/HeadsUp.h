#ifndef GAME_PAGES_HEADS_UP_H
#define GAME_PAGES_HEADS_UP_H

// What the page shows over the world: chat, the chat input field, the
// session's status line and, on request, the information panel and the
// server's players; drawn by the render shell's heads-up display.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "GamePages/ChatInput.h"
#include "GamePages/ChatLog.h"
#include "GamePages/SessionStatus.h"
#include "Hud.h"
#include "session/PlayerList.h"

namespace GamePages {

// The numbers of the information panel.
struct InfoPanel {
  double x = 0, y = 0, z = 0; // the feet, in blocks
  float yaw = 0, pitch = 0;   // as reported to the server
  // How long the last tick's logic and the last frame's drawing took.
  std::chrono::microseconds tickTime{0};
  std::chrono::microseconds frameTime{0};
  int framesPerSecond = 0;
  std::size_t loadedChunks = 0;
  std::size_t trackedEntities = 0;
  std::int64_t serverTime = 0;
};

// The panel's lines.
std::vector<std::string> infoLines(const InfoPanel& panel);

class HeadsUp {
public:
  HeadsUp(Ogre::Root& root, SessionStatus status);

  ChatInput& chatInput() { return m_chatInput; }
  const ChatInput& chatInput() const { return m_chatInput; }
  SessionStatus& status() { return m_status; }
  const SessionStatus& status() const { return m_status; }
  // A chat line from the server, in the locale's character set.
  void chatReceived(const std::string& text);
  // A line of the client's own in the chat area, in UTF-8.
  void note(const std::string& utf8);
  void toggleInfo() { m_infoShown = !m_infoShown; }
  // How far the dig under way has got, 0 to 1; none while nothing is dug.
  void setDigProgress(std::optional<float> progress) { m_digProgress = progress; }
  bool infoShown() const { return m_infoShown; }
  int framesPerSecond() const { return m_hud.framesPerSecond(); }
  // The server's players are shown from the next refresh while a list is
  // given, hidden while none is.
  void showPlayers(const PlayerList* players);
  bool playersShown() const { return m_players.has_value(); }
  // The hotbar and the health shown from the next refresh on; none hides
  // them.
  void showPlayer(std::optional<HotbarView> hotbar, std::optional<HealthView> health);
  // The open window's screen from the next refresh on; none hides it.
  void showWindow(std::optional<WindowScreenView> window) { m_window = std::move(window); }

  // Hands what is to be seen now to the display; the panel shows only when
  // toggled on.
  void refresh(const InfoPanel& panel);

private:
  ChatLog m_chatLog;
  ChatInput m_chatInput;
  SessionStatus m_status;
  bool m_infoShown = false;
  std::optional<float> m_digProgress;
  std::optional<std::vector<PlayerListRow>> m_players;
  std::optional<HotbarView> m_hotbar;
  std::optional<HealthView> m_health;
  std::optional<WindowScreenView> m_window;
  Hud m_hud;
};

} // namespace GamePages

#endif
