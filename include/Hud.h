#ifndef HUD_H
#define HUD_H

// The heads-up display drawn over the world with the engine's Dear ImGui
// overlay and a DejaVu font: a crosshair with the progress of a dig under
// it, the chat lines, the chat input field, the status line, the
// information panel, the list of the server's players, the hotbar and the
// player's health, and the screen of an open window. It draws, in every
// frame, the last view it was given.

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <OgreFrameListener.h>

#include "HealthView.h"
#include "HotbarView.h"
#include "PlayerListView.h"
#include "WindowScreenView.h"

namespace Ogre {
class ImGuiOverlay;
class Root;
} // namespace Ogre

struct HudView {
  struct ChatLine {
    // UTF-8 with colour codes.
    std::string text;
    // 0 (invisible) to 1.
    float opacity = 1;
  };
  enum class Tone { Plain, Good, Bad };

  // Oldest first.
  std::vector<ChatLine> chat;
  bool chatOpen = false;
  // UTF-8, what the player has typed so far.
  std::string chatInput;
  std::string status;
  Tone statusTone = Tone::Plain;
  // The information panel's lines; none hide it.
  std::vector<std::string> info;
  // How far the dig under way has got, 0 to 1; none while nothing is dug.
  std::optional<float> digProgress;
  // The server's players, shown while the player asks for them.
  std::optional<std::vector<PlayerListRow>> players;
  // The hotbar, and the hearts, food and death screen over it; none hide
  // them (no world).
  std::optional<HotbarView> hotbar;
  std::optional<HealthView> health;
  // The open window's screen over the world, instead of the crosshair.
  std::optional<WindowScreenView> window;
};

class Hud : public Ogre::FrameListener {
public:
  // Needs the engine's overlay system and the font "DejaVuSans.ttf" among
  // the resources.
  explicit Hud(Ogre::Root& root);
  ~Hud() override;
  Hud(const Hud&) = delete;
  Hud& operator=(const Hud&) = delete;

  void show(HudView view);
  // Frames drawn in the last second.
  int framesPerSecond() const;

  bool frameStarted(const Ogre::FrameEvent& event) override;

private:
  void draw() const;

  Ogre::Root& m_root;
  Ogre::ImGuiOverlay* m_overlay;
  HudView m_view;
  std::unique_ptr<ItemPictures> m_pictures;
  bool m_frameOpen = false;
  std::deque<std::chrono::steady_clock::time_point> m_frames;
};

#endif
