#ifndef GAME_PAGES_CLIENT_SETTINGS_H
#define GAME_PAGES_CLIENT_SETTINGS_H

// The player's settings from "tessellar.cfg", with the command line's
// overrides applied: key bindings, mouse look, the sky, and the server and
// player to connect as.

#include <string>

#include <OgreConfigFile.h>

#include "GamePages/ControlLayout.h"
#include "GamePages/LaunchOptions.h"
#include "Sky.h"

namespace GamePages {

struct KeyBindings {
  // The layout named by "Preconfigured", with the keys bound one by one
  // ("Forward", "Back", "Right", "Left", "Jump") in place of its own.
  MovementKeys movement;
  OIS::KeyCode run = OIS::KC_LSHIFT;
  OIS::KeyCode connect = OIS::KC_8;
  OIS::KeyCode quit = OIS::KC_0;
  OIS::KeyCode returnToPosition = OIS::KC_1;
};

struct ClientSettings {
  KeyBindings keys;
  double mouseSensitivity = 1.0;
  bool invertMouse = false;
  SkyMode sky = SkyMode::DayNight;
  std::string host;
  std::string port;
  std::string playerName;
  std::string password;
};

// The server as the player writes it: "host:port", "[v6 address]:port".
std::string serverName(const ClientSettings& settings);

// Throws std::invalid_argument, naming the section and key, for a value it
// cannot use: an unknown key name, a key bound twice or to a key the client
// keeps for itself (T, Slash, F1 to F9), a mouse sensitivity that is not a
// number above 0 and at most 10, an "InvertMouse" other than "yes" or "no",
// a "Sky" other than "day-night" or "black".
ClientSettings readClientSettings(const Ogre::ConfigFile& config, const LaunchOptions& options);

} // namespace GamePages

#endif
