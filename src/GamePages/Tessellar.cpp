// The game page: construction from "tessellar.cfg", the key commands and
// what the page does when the session tells it something.

#include "GamePages/Tessellar.h"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include <boost/lexical_cast.hpp>

#include "Game.h"
#include "GamePages/KeyNames.h"
#include "GamePages/PlayerMotion.h"

namespace GamePages {

namespace {

const char* const ConfigFileName = "tessellar.cfg";
// Frames a second when "MaxFrameRate" is absent: what most screens show.
const int DefaultFrameRateLimit = 60;

AccountServices readAccountServices(const Ogre::ConfigFile& config) {
  AccountServices services;
  services.loginUrl = config.getSetting("LoginURL", "Accounts", services.loginUrl);
  services.joinUrl = config.getSetting("JoinURL", "Accounts", services.joinUrl);
  const std::string timeout = config.getSetting("Timeout", "Accounts", "");
  if (!timeout.empty())
    services.timeoutSeconds = boost::lexical_cast<int>(timeout);
  if (services.timeoutSeconds <= 0)
    throw std::invalid_argument(
        "tessellar.cfg: Accounts Timeout must be a positive number of seconds");
  return services;
}

// "StallTimeout" in "Server": how long a packet may take to arrive.
std::chrono::seconds readStallTimeout(const Ogre::ConfigFile& config) {
  const int seconds = boost::lexical_cast<int>(config.getSetting("StallTimeout", "Server", "30"));
  if (seconds <= 0)
    throw std::invalid_argument(
        "tessellar.cfg: Server StallTimeout must be a positive number of seconds");
  return std::chrono::seconds(seconds);
}

// "Filtering" in "Graphics": empty keeps the shell's anisotropic default,
// which software renderers pay for dearly.
void applyTextureFiltering(const std::string& name) {
  if (name.empty())
    return;
  if (name == "anisotropic")
    MyOgre::setTextureFiltering(Ogre::TFO_ANISOTROPIC, 8);
  else if (name == "trilinear")
    MyOgre::setTextureFiltering(Ogre::TFO_TRILINEAR, 1);
  else if (name == "bilinear")
    MyOgre::setTextureFiltering(Ogre::TFO_BILINEAR, 1);
  else if (name == "none")
    MyOgre::setTextureFiltering(Ogre::TFO_NONE, 1);
  else
    throw std::invalid_argument("tessellar.cfg: Graphics Filtering must be anisotropic, "
                                "trilinear, bilinear or none, not \"" + name + "\"");
}

// A distance in columns in "Graphics"; none when the key is absent.
std::optional<int> readColumns(const Ogre::ConfigFile& config, const std::string& key) {
  const std::string text = config.getSetting(key, "Graphics", "");
  if (text.empty())
    return std::nullopt;
  int columns = -1;
  if (!boost::conversion::try_lexical_convert(text, columns) || columns < 0)
    throw std::invalid_argument("tessellar.cfg: Graphics " + key +
                                " must be 0 or more columns, not \"" + text + "\"");
  return columns;
}

// "MaxFrameRate" in "Graphics": frames a second at most, 0 for no limit.
int readFrameRateLimit(const Ogre::ConfigFile& config) {
  const std::string text = config.getSetting("MaxFrameRate", "Graphics", "");
  if (text.empty())
    return DefaultFrameRateLimit;
  int framesPerSecond = -1;
  if (!boost::conversion::try_lexical_convert(text, framesPerSecond) || framesPerSecond < 0)
    throw std::invalid_argument("tessellar.cfg: Graphics MaxFrameRate must be 0 or more frames a "
                                "second, not \"" + text + "\"");
  return framesPerSecond;
}

} // namespace

Tessellar::Tessellar(const LaunchOptions& options)
    : MyOgre(), GamePage(),
      m_session(std::make_unique<ClientSession>(Game::instance().ioService())) {
  m_config.load(ConfigFileName, "\t:=", true);
  m_settings = readClientSettings(m_config, options);
  m_sceneManager->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1.0f));
  const int fov = boost::lexical_cast<int>(m_config.getSetting("fov", "Graphics", "120"));
  // 0 or a half turn and more give no picture at all.
  if (fov <= 0 || fov >= 180)
    throw std::invalid_argument("tessellar.cfg: Graphics fov must be between 1 and 179 degrees");
  m_camera->setFOVy(Ogre::Degree(Ogre::Real(fov)));
  applyTextureFiltering(m_config.getSetting("Filtering", "Graphics", ""));
  m_viewDistance = readColumns(m_config, "ViewDistance");
  m_detailDistance =
      readColumns(m_config, "DetailDistance").value_or(DetailPolicy::DefaultDetailDistance);
  m_coarseDistance =
      readColumns(m_config, "CoarseDistance").value_or(DetailPolicy::DefaultCoarseDistance);
  if (m_viewDistance)
    m_camera->setFarClipDistance(WorldView::farClipDistance(*m_viewDistance));
  Game::instance().setFrameRateLimit(readFrameRateLimit(m_config));
  m_reportTimings = m_config.getSetting("Timings", "Diagnostics", "") == "yes";
  m_session->setAccountServices(readAccountServices(m_config));
  m_session->setStallTimeout(readStallTimeout(m_config));
  setMouseLook(m_settings.mouseSensitivity, m_settings.invertMouse);
  sky().setMode(m_settings.sky);
  const Ogre::Vector3 start = cameraNode()->getPosition();
  m_eye.placeAt({start.x, start.y, start.z});
  m_headsUp = std::make_unique<HeadsUp>(
      m_root, SessionStatus(serverName(m_settings), nameOfKey(m_settings.keys.connect)));
  followSession();
  registerChunkHandlers();
  registerEntityHandlers();
  registerChatHandlers();
}

// The session goes first: its connection and account login end before the
// world and the shell they might still reach.
Tessellar::~Tessellar() {
  m_session.reset();
  m_world.reset();
  m_entityManager.reset();
}

// The session says what became of it on the status line; the camera moves
// where the server places the player.
void Tessellar::followSession() {
  ClientSession::Events events;
  events.loggedIn = [this] { m_headsUp->status().loggedIn(); };
  events.placed = [this](double x, double feetY, double z) { placeEye(x, feetY, z); };
  events.ended = [this](const SessionEnd& end) { m_headsUp->status().ended(end); };
  events.look = [this] {
    applyLook();
    return m_look;
  };
  m_session->setEvents(std::move(events));
}

// While the chat field is open, every key types into it.
bool Tessellar::keyPressed(const OIS::KeyEvent& event) {
  const KeyBindings& keys = m_settings.keys;
  if (m_headsUp->chatInput().isOpen())
    typeChat(event);
  else if (event.key == keys.connect)
    connectToServer();
  else if (event.key == keys.quit)
    disconnectFromServer();
  else if (event.key == keys.returnToPosition)
    returnToPosition();
  else if (event.key == OIS::KC_T || event.text == '/')
    openChat(event);
  else if (event.key == OIS::KC_F3)
    m_headsUp->toggleInfo();
  else
    return MyOgre::keyPressed(event);
  return true;
}

void Tessellar::windowClosed() { Game::instance().stop(); }

// A session under way ends with a goodbye; each connection starts with an
// empty world.
void Tessellar::connectToServer() {
  m_session->connect(m_settings.host, m_settings.port, m_settings.playerName, m_settings.password);
  m_headsUp->status().connecting();
  m_entityManager = std::make_unique<EntityManager>(*this);
  m_world = std::make_unique<World>(*this, m_viewDistance,
                                    DetailPolicy(m_detailDistance, m_coarseDistance));
}

void Tessellar::disconnectFromServer() {
  m_session->disconnect();
  m_entityManager.reset();
  m_world.reset();
  Game::instance().stop();
}

void Tessellar::returnToPosition() {
  const TSPackets::PlayerPosAndLook& position = m_session->position();
  placeEye(position.x, position.y, position.z);
}

void Tessellar::placeEye(double x, double feetY, double z) {
  m_eye.placeAt({float(x), float(feetY + EyeHeight), float(z)});
  cameraNode()->setPosition(Ogre::Real(x), Ogre::Real(feetY + EyeHeight), Ogre::Real(z));
}

} // namespace GamePages
