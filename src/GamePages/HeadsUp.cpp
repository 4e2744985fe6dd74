#include "GamePages/HeadsUp.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <sstream>
#include <utility>

#include "ChunkPosition.h"
#include "LocaleText.h"
#include "Sky.h"

namespace GamePages {

namespace {

const std::size_t MaxChatLineBytes = 1024;
// Far more than a name on a real server; the list's rows cut names at
// their width anyway.
const std::size_t MaxListedNameBytes = 64;

// The block a coordinate lies in, held within the 32-bit block range.
std::int32_t blockOf(double coordinate) {
  const double block = std::floor(coordinate);
  if (!(block > std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (!(block < std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(block);
}

// The time of day as a clock: world time 0 is six in the morning.
std::string clockTime(std::int64_t worldTime) {
  const std::int64_t ticks = (timeOfDay(worldTime) + DayTicks / 4) % DayTicks;
  const std::int64_t minutes = ticks * 24 * 60 / DayTicks;
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", int(minutes / 60), int(minutes % 60));
  return text;
}

HudView::Tone hudTone(SessionStatus::Tone tone) {
  switch (tone) {
  case SessionStatus::Tone::Good:
    return HudView::Tone::Good;
  case SessionStatus::Tone::Bad:
    return HudView::Tone::Bad;
  default:
    return HudView::Tone::Plain;
  }
}

} // namespace

std::vector<std::string> infoLines(const InfoPanel& panel) {
  const ChunkPosition chunk = chunkOfBlock(blockOf(panel.x), blockOf(panel.y), blockOf(panel.z));
  std::ostringstream position, look, frames, tick;
  position << std::fixed << std::setprecision(2) << "Position " << panel.x << " / " << panel.y
           << " / " << panel.z;
  look << std::fixed << std::setprecision(1) << "Look yaw " << panel.yaw << ", pitch "
       << panel.pitch;
  frames << std::fixed << std::setprecision(1) << panel.framesPerSecond
         << " frames per second, the last took " << panel.frameTime.count() / 1000.0 << " ms";
  tick << std::fixed << std::setprecision(1) << "Tick " << panel.tickTime.count() / 1000.0
       << " ms";
  return {
      position.str(),
      "Chunk " + std::to_string(chunk.x) + " / " + std::to_string(chunk.z),
      look.str(),
      frames.str(),
      tick.str(),
      "Chunks loaded " + std::to_string(panel.loadedChunks) + ", entities tracked " +
          std::to_string(panel.trackedEntities),
      "Server time " + std::to_string(panel.serverTime) + " (" + clockTime(panel.serverTime) +
          ")",
  };
}

HeadsUp::HeadsUp(Ogre::Root& root, SessionStatus status)
    : m_status(std::move(status)), m_hud(root) {}

// Real chat lines are short; a server may send 32767 characters, which
// would only slow every frame down.
void HeadsUp::chatReceived(const std::string& text) {
  m_chatLog.add(utf8Prefix(localeToUtf8(text), MaxChatLineBytes), ChatLog::Clock::now());
}

void HeadsUp::note(const std::string& utf8) { m_chatLog.add(utf8, ChatLog::Clock::now()); }

void HeadsUp::showPlayers(const PlayerList* players) {
  if (!players) {
    m_players.reset();
    return;
  }
  std::vector<PlayerListRow> rows;
  rows.reserve(players->players().size());
  for (const PlayerList::Player& player : players->players())
    rows.push_back({utf8Prefix(localeToUtf8(player.name), MaxListedNameBytes), player.ping});
  m_players = std::move(rows);
}

void HeadsUp::showPlayer(std::optional<HotbarView> hotbar, std::optional<HealthView> health) {
  m_hotbar = std::move(hotbar);
  m_health = std::move(health);
}

void HeadsUp::refresh(const InfoPanel& panel) {
  HudView view;
  for (ChatLog::Shown& line : m_chatLog.shown(ChatLog::Clock::now(), m_chatInput.isOpen()))
    view.chat.push_back({std::move(line.utf8), line.opacity});
  view.chatOpen = m_chatInput.isOpen();
  view.chatInput = codePointsToUtf8(m_chatInput.text());
  view.status = m_status.text();
  view.statusTone = hudTone(m_status.tone());
  if (m_infoShown)
    view.info = infoLines(panel);
  view.digProgress = m_digProgress;
  view.players = m_players;
  view.hotbar = m_hotbar;
  view.health = m_health;
  view.window = m_window;
  m_hud.show(std::move(view));
}

} // namespace GamePages
