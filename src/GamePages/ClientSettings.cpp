#include "GamePages/ClientSettings.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include <boost/lexical_cast.hpp>

#include "GamePages/KeyNames.h"

namespace GamePages {

namespace {

const double MaxMouseSensitivity = 10.0;
// A field of view of 0, or of a half turn and more, shows no picture at all.
const int MaxFieldOfView = 179;

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

ButtonBinding boundButton(const Ogre::ConfigFile& config, const std::string& key,
                          ButtonBinding fallback) {
  const std::string name = config.getSetting(key, "Controls", "");
  if (name.empty())
    return fallback;
  const std::optional<ButtonBinding> bound = buttonOfName(name);
  if (!bound)
    throw badSetting("Controls", key, "is not a mouse button or key name: \"" + name + "\"");
  return *bound;
}

// The key bound by name; none when the setting is absent.
std::optional<OIS::KeyCode> boundKey(const Ogre::ConfigFile& config, const std::string& key) {
  if (config.getSetting(key, "Controls", "").empty())
    return std::nullopt;
  return boundKey(config, key, OIS::KC_UNASSIGNED);
}

bool usedBy(const KeyBindings& keys, OIS::KeyCode key) {
  const ButtonBinding button = key;
  if (std::find(keys.movement.begin(), keys.movement.begin() + Jump + 1, key) !=
          keys.movement.begin() + Jump + 1 ||
      key == keys.run || key == keys.connect || key == keys.quit ||
      key == keys.returnToPosition || key == keys.playerList || button == keys.dig ||
      button == keys.place ||
      keys.respawn == key || keys.inventory == key)
    return true;
  return std::find(keys.hotbar.begin(), keys.hotbar.end(), key) != keys.hotbar.end();
}

// The item keys that are not bound take their defaults where those are
// free, so that the older actions keep their keys.
void readItemKeys(const Ogre::ConfigFile& config, KeyBindings& keys) {
  static const OIS::KeyCode digits[] = {OIS::KC_1, OIS::KC_2, OIS::KC_3, OIS::KC_4, OIS::KC_5,
                                        OIS::KC_6, OIS::KC_7, OIS::KC_8, OIS::KC_9};
  for (std::size_t slot = 0; slot < keys.hotbar.size(); ++slot)
    keys.hotbar[slot] = boundKey(config, "Hotbar" + std::to_string(slot + 1));
  keys.respawn = boundKey(config, "Respawn");
  keys.inventory = boundKey(config, "Inventory");
  const auto fallBack = [&](std::optional<OIS::KeyCode>& binding, OIS::KeyCode key) {
    if (!binding && !usedBy(keys, key))
      binding = key;
  };
  fallBack(keys.respawn, OIS::KC_RETURN);
  fallBack(keys.inventory, OIS::KC_E);
  for (std::size_t slot = 0; slot < keys.hotbar.size(); ++slot)
    fallBack(keys.hotbar[slot], digits[slot]);
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
  keys.playerList = boundKey(config, "PlayerList", keys.playerList);
  keys.dig = boundButton(config, "Dig", keys.dig);
  keys.place = boundButton(config, "Place", keys.place);
  readItemKeys(config, keys);
  return keys;
}

// Each action needs a key of its own, and the chat and function keys stay
// the client's.
void checkDistinct(const KeyBindings& keys) {
  std::vector<std::pair<const char*, ButtonBinding>> bound = {
      {"Forward", keys.movement[Forward]}, {"Back", keys.movement[Back]},
      {"Right", keys.movement[Right]},     {"Left", keys.movement[Left]},
      {"Jump", keys.movement[Jump]},       {"Run", keys.run},
      {"Connect", keys.connect},           {"Quit", keys.quit},
      {"ReturnToPosition", keys.returnToPosition}, {"Dig", keys.dig},
      {"Place", keys.place},               {"PlayerList", keys.playerList}};
  static const char* const hotbarNames[] = {"Hotbar1", "Hotbar2", "Hotbar3", "Hotbar4", "Hotbar5",
                                            "Hotbar6", "Hotbar7", "Hotbar8", "Hotbar9"};
  for (std::size_t slot = 0; slot < keys.hotbar.size(); ++slot)
    if (keys.hotbar[slot])
      bound.push_back({hotbarNames[slot], *keys.hotbar[slot]});
  if (keys.respawn)
    bound.push_back({"Respawn", *keys.respawn});
  if (keys.inventory)
    bound.push_back({"Inventory", *keys.inventory});
  for (std::size_t i = 0; i < bound.size(); ++i) {
    const auto* key = std::get_if<OIS::KeyCode>(&bound[i].second);
    if (key && (*key == OIS::KC_T || *key == OIS::KC_SLASH ||
                (*key >= OIS::KC_F1 && *key <= OIS::KC_F9)))
      throw badSetting("Controls", bound[i].first,
                       "cannot use " + nameOfKey(*key) + ": the client keeps it for itself");
    for (std::size_t j = 0; j < i; ++j)
      if (bound[j].second == bound[i].second)
        throw badSetting("Controls", bound[i].first,
                         "uses " + nameOfButton(bound[i].second) + ", which " + bound[j].first +
                             " uses already");
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

// A whole number from `low` to `high`; `fallback` when the key is absent.
// `range` says what the value must be.
int readWholeNumber(const Ogre::ConfigFile& config, const std::string& section,
                    const std::string& key, int low, int high, int fallback,
                    const std::string& range) {
  const std::string text = config.getSetting(key, section, "");
  if (text.empty())
    return fallback;
  int value = 0;
  if (!boost::conversion::try_lexical_convert(text, value) || value < low || value > high)
    throw badSetting(section, key, "must be " + range + ", not \"" + text + "\"");
  return value;
}

// A distance in columns in "Graphics"; none when the key is absent.
std::optional<int> readColumns(const Ogre::ConfigFile& config, const std::string& key) {
  if (config.getSetting(key, "Graphics", "").empty())
    return std::nullopt;
  return readWholeNumber(config, "Graphics", key, 0, std::numeric_limits<int>::max(), 0,
                         "0 or more columns");
}

std::chrono::seconds readSeconds(const Ogre::ConfigFile& config, const std::string& section,
                                 const std::string& key, std::chrono::seconds fallback) {
  return std::chrono::seconds(readWholeNumber(config, section, key, 1,
                                              std::numeric_limits<int>::max(),
                                              int(fallback.count()),
                                              "a positive number of seconds"));
}

std::optional<TextureFiltering> readFiltering(const Ogre::ConfigFile& config) {
  const std::string text = config.getSetting("Filtering", "Graphics", "");
  if (text.empty())
    return std::nullopt;
  for (const auto& [name, filtering] :
       {std::pair{"anisotropic", TextureFiltering::Anisotropic},
        std::pair{"trilinear", TextureFiltering::Trilinear},
        std::pair{"bilinear", TextureFiltering::Bilinear}, std::pair{"none", TextureFiltering::None}})
    if (text == name)
      return filtering;
  throw badSetting("Graphics", "Filtering",
                   "must be anisotropic, trilinear, bilinear or none, not \"" + text + "\"");
}

void readGraphics(const Ogre::ConfigFile& config, ClientSettings& settings) {
  settings.fieldOfView = readWholeNumber(config, "Graphics", "fov", 1, MaxFieldOfView,
                                         settings.fieldOfView, "between 1 and 179 degrees");
  settings.filtering = readFiltering(config);
  settings.viewDistance = readColumns(config, "ViewDistance");
  settings.detailDistance =
      readColumns(config, "DetailDistance").value_or(settings.detailDistance);
  settings.coarseDistance =
      readColumns(config, "CoarseDistance").value_or(settings.coarseDistance);
  settings.frameRateLimit =
      readWholeNumber(config, "Graphics", "MaxFrameRate", 0, std::numeric_limits<int>::max(),
                      settings.frameRateLimit, "0 or more frames a second");
  settings.sky = readSky(config);
}

AccountServices readAccountServices(const Ogre::ConfigFile& config) {
  AccountServices services;
  services.loginUrl = config.getSetting("LoginURL", "Accounts", services.loginUrl);
  services.joinUrl = config.getSetting("JoinURL", "Accounts", services.joinUrl);
  services.timeoutSeconds =
      readSeconds(config, "Accounts", "Timeout", std::chrono::seconds(services.timeoutSeconds))
          .count();
  return services;
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
  readGraphics(config, settings);
  settings.host = options.host.value_or(config.getSetting("Hostname", "Server", ""));
  settings.port = options.port.value_or(config.getSetting("Port", "Server", ""));
  settings.playerName = options.name.value_or(config.getSetting("Name", "Player", ""));
  settings.password = config.getSetting("Password", "Player", "");
  settings.stallTimeout = readSeconds(config, "Server", "StallTimeout", settings.stallTimeout);
  settings.accountServices = readAccountServices(config);
  settings.reportTimings = readYesNo(config, "Diagnostics", "Timings");
  return settings;
}

} // namespace GamePages
