#include "GamePages/ClientSettings.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include <boost/lexical_cast.hpp>

#include "GamePages/KeyNames.h"

namespace GamePages {

namespace {

const double MaxMouseSensitivity = 10.0;

std::invalid_argument badSetting(const std::string& section, const std::string& key,
                                 const std::string& problem) {
  return std::invalid_argument("tessellar.cfg: " + section + " " + key + " " + problem);
}

// The bound key, or the default when the setting is absent.
OIS::KeyCode boundKey(const Ogre::ConfigFile& config, const std::string& key,
                      OIS::KeyCode fallback) {
  const std::string name = config.getSetting(key, "Controls", "");
  if (name.empty())
    return fallback;
  const std::optional<OIS::KeyCode> bound = keyOfName(name);
  if (!bound)
    throw badSetting("Controls", key, "is not a key name: \"" + name + "\"");
  return *bound;
}

KeyBindings readKeyBindings(const Ogre::ConfigFile& config) {
  KeyBindings keys;
  keys.movement = controlLayout(config.getSetting("Preconfigured", "Controls", ""));
  for (const auto& [key, binding] : {std::pair{"Forward", Forward}, std::pair{"Back", Back},
                                     std::pair{"Right", Right}, std::pair{"Left", Left},
                                     std::pair{"Jump", Jump}})
    keys.movement[binding] = boundKey(config, key, keys.movement[binding]);
  keys.run = boundKey(config, "Run", keys.run);
  keys.connect = boundKey(config, "Connect", keys.connect);
  keys.quit = boundKey(config, "Quit", keys.quit);
  keys.returnToPosition = boundKey(config, "ReturnToPosition", keys.returnToPosition);
  return keys;
}

// Each action needs a key of its own, and the chat and function keys stay
// the client's.
void checkDistinct(const KeyBindings& keys) {
  const std::vector<std::pair<const char*, OIS::KeyCode>> bound = {
      {"Forward", keys.movement[Forward]}, {"Back", keys.movement[Back]},
      {"Right", keys.movement[Right]},     {"Left", keys.movement[Left]},
      {"Jump", keys.movement[Jump]},       {"Run", keys.run},
      {"Connect", keys.connect},           {"Quit", keys.quit},
      {"ReturnToPosition", keys.returnToPosition}};
  for (std::size_t i = 0; i < bound.size(); ++i) {
    const OIS::KeyCode key = bound[i].second;
    if (key == OIS::KC_T || key == OIS::KC_SLASH || (key >= OIS::KC_F1 && key <= OIS::KC_F9))
      throw badSetting("Controls", bound[i].first,
                       "cannot use " + nameOfKey(key) + ": the client keeps it for itself");
    for (std::size_t j = 0; j < i; ++j)
      if (bound[j].second == key)
        throw badSetting("Controls", bound[i].first,
                         "uses " + nameOfKey(key) + ", which " + bound[j].first + " uses already");
  }
}

double readMouseSensitivity(const Ogre::ConfigFile& config) {
  const std::string text = config.getSetting("MouseSensitivity", "Controls", "");
  if (text.empty())
    return 1.0;
  double value = 0;
  if (!boost::conversion::try_lexical_convert(text, value) || !(value > 0) ||
      value > MaxMouseSensitivity)
    throw badSetting("Controls", "MouseSensitivity",
                     "must be a number above 0 and at most 10, not \"" + text + "\"");
  return value;
}

bool readYesNo(const Ogre::ConfigFile& config, const std::string& section, const std::string& key) {
  const std::string text = config.getSetting(key, section, "");
  if (!text.empty() && text != "yes" && text != "no")
    throw badSetting(section, key, "must be yes or no, not \"" + text + "\"");
  return text == "yes";
}

SkyMode readSky(const Ogre::ConfigFile& config) {
  const std::string text = config.getSetting("Sky", "Graphics", "");
  if (text.empty() || text == "day-night")
    return SkyMode::DayNight;
  if (text == "black")
    return SkyMode::Black;
  throw badSetting("Graphics", "Sky", "must be day-night or black, not \"" + text + "\"");
}

} // namespace

std::string serverName(const ClientSettings& settings) {
  if (settings.host.find(':') != std::string::npos)
    return "[" + settings.host + "]:" + settings.port;
  return settings.host + ":" + settings.port;
}

ClientSettings readClientSettings(const Ogre::ConfigFile& config, const LaunchOptions& options) {
  ClientSettings settings;
  settings.keys = readKeyBindings(config);
  checkDistinct(settings.keys);
  settings.mouseSensitivity = readMouseSensitivity(config);
  settings.invertMouse = readYesNo(config, "Controls", "InvertMouse");
  settings.sky = readSky(config);
  settings.host = options.host.value_or(config.getSetting("Hostname", "Server", ""));
  settings.port = options.port.value_or(config.getSetting("Port", "Server", ""));
  settings.playerName = options.name.value_or(config.getSetting("Name", "Player", ""));
  settings.password = config.getSetting("Password", "Player", "");
  return settings;
}

} // namespace GamePages
