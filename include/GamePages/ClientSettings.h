#ifndef GAME_PAGES_CLIENT_SETTINGS_H
#define GAME_PAGES_CLIENT_SETTINGS_H

// The player's settings from "tessellar.cfg", with the command line's
// overrides applied: key bindings, mouse look, the picture, the server and
// player to connect as, the account services and the diagnostics.

#include <array>
#include <chrono>
#include <optional>
#include <string>

#include <OgreConfigFile.h>

#include "AccountServices.h"
#include "GamePages/ControlLayout.h"
#include "GamePages/KeyNames.h"
#include "GamePages/LaunchOptions.h"
#include "Sky.h"
#include "world/DetailPolicy.h"

namespace GamePages {

struct KeyBindings {
  // The layout named by "Preconfigured", with the keys bound one by one
  // ("Forward", "Back", "Right", "Left", "Jump") in place of its own.
  MovementKeys movement;
  OIS::KeyCode run = OIS::KC_LSHIFT;
  OIS::KeyCode connect = OIS::KC_8;
  OIS::KeyCode quit = OIS::KC_0;
  OIS::KeyCode returnToPosition = OIS::KC_1;
  // Held down, shows the server's players.
  OIS::KeyCode playerList = OIS::KC_TAB;
  // "Dig" and "Place": a mouse button or a key each.
  ButtonBinding dig = OIS::MB_Left;
  ButtonBinding place = OIS::MB_Right;
  // "Hotbar1" to "Hotbar9" choose the held slot, "Respawn" takes the death
  // screen's offer, "Inventory" opens and closes the inventory's screen.
  // Absent, they take the digits 1 to 9, Enter and E, each only when no
  // other action has that key: a slot whose digit is a command key's has
  // none (the wheel still reaches it).
  std::array<std::optional<OIS::KeyCode>, 9> hotbar;
  std::optional<OIS::KeyCode> respawn;
  std::optional<OIS::KeyCode> inventory;
};

enum class TextureFiltering { Anisotropic, Trilinear, Bilinear, None };

struct ClientSettings {
  KeyBindings keys;
  double mouseSensitivity = 1.0;
  bool invertMouse = false;
  SkyMode sky = SkyMode::DayNight;
  // "Graphics": the vertical field of view in degrees; the texture filtering
  // (none keeps the shell's default); the columns drawn around the player's
  // (none: all), those meshed in full detail and those meshed finer than the
  // coarse level; frames a second at most (0: no limit).
  int fieldOfView = 120;
  std::optional<TextureFiltering> filtering;
  std::optional<int> viewDistance;
  int detailDistance = DetailPolicy::DefaultDetailDistance;
  int coarseDistance = DetailPolicy::DefaultCoarseDistance;
  int frameRateLimit = 60;
  std::string host;
  std::string port;
  std::string playerName;
  std::string password;
  // "StallTimeout" in "Server": how long a packet may take to arrive.
  std::chrono::seconds stallTimeout{30};
  AccountServices accountServices;
  // "Timings" in "Diagnostics": a line per tick and per frame.
  bool reportTimings = false;
};

// The server as the player writes it: "host:port", "[v6 address]:port".
std::string serverName(const ClientSettings& settings);

// Throws std::invalid_argument, naming the section and key and quoting the
// value, for a value it cannot use: an unknown key name, a key bound twice or
// to a key the client keeps for itself (T, Slash, F1 to F9), a mouse
// sensitivity that is not a number above 0 and at most 10, a yes-or-no
// setting that is neither, an unknown sky or filtering, a field of view that
// is not a whole number of degrees from 1 to 179, distances and frame rates
// that are not whole numbers of 0 or more, timeouts that are not a positive
// number of seconds.
ClientSettings readClientSettings(const Ogre::ConfigFile& config, const LaunchOptions& options);

} // namespace GamePages

#endif
