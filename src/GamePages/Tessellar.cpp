// The game page: construction from "tessellar.cfg", the key commands and the
// connection-level packet handlers.

#include "GamePages/Tessellar.h"

#include <chrono>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include <boost/lexical_cast.hpp>

#include "Game.h"
#include "GamePages/KeyNames.h"
#include "GamePages/PlayerMotion.h"
#include "GamePages/TimePacing.h"
#include "LocaleText.h"

namespace GamePages {

namespace {

const char* const ConfigFileName = "tessellar.cfg";
// Frames a second when "MaxFrameRate" is absent: what most screens show.
const int DefaultFrameRateLimit = 60;
// How long the disconnect key waits for the goodbye to leave.
const std::chrono::milliseconds DisconnectWriteLimit(2000);

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

// The server's position, without its look: the page keeps its own.
template <class Position>
void takePosition(const Position& position, TSPackets::PlayerPosAndLook& player) {
  player.x = position.x;
  player.y = position.y;
  player.z = position.z;
  player.stance = position.stance;
  player.onGround = position.onGround;
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
    : MyOgre(), Network(Game::instance().ioService()), GamePage() {
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
  setAccountServices(readAccountServices(m_config));
  setStallTimeout(readStallTimeout(m_config));
  setMouseLook(m_settings.mouseSensitivity, m_settings.invertMouse);
  sky().setMode(m_settings.sky);
  const Ogre::Vector3 start = cameraNode()->getPosition();
  m_eye.placeAt({start.x, start.y, start.z});
  m_headsUp = std::make_unique<HeadsUp>(
      m_root, SessionStatus(serverName(m_settings), nameOfKey(m_settings.keys.connect)));
}

Tessellar::~Tessellar() {
  m_world.reset();
  m_entityManager.reset();
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

// A server that cannot be found ends no more than the attempt.
void Tessellar::connectToServer() {
  m_headsUp->status().connecting();
  try {
    connect(m_settings.host, m_settings.port, m_settings.playerName, m_settings.password);
  } catch (const std::system_error& error) {
    std::cerr << "cannot connect to " << serverName(m_settings) << ": " << error.what()
              << std::endl;
    m_headsUp->status().failed(localeToUtf8(error.what()));
    return;
  }
  // Until the new server places the player, nothing is reported to it.
  m_spawned = false;
  m_entityManager = std::make_unique<EntityManager>(*this);
  m_world = std::make_unique<World>(*this, m_viewDistance,
                                    DetailPolicy(m_detailDistance, m_coarseDistance));
}

void Tessellar::disconnectFromServer() {
  // Without a connection there is nobody to say goodbye to.
  if (isConnected()) {
    TSPackets::Disconnect goodbye;
    goodbye.reason = "disconnect ferrowick";
    send(goodbye);
    if (!flushOutput(DisconnectWriteLimit))
      std::cerr << "could not send the disconnect message in time" << std::endl;
  }
  disconnect();
  m_entityManager.reset();
  m_world.reset();
  Game::instance().stop();
}

void Tessellar::returnToPosition() {
  placeEye(m_positionPacket.x, m_positionPacket.y, m_positionPacket.z);
}

void Tessellar::placeEye(double x, double feetY, double z) {
  m_eye.placeAt({float(x), float(feetY + EyeHeight), float(z)});
  cameraNode()->setPosition(Ogre::Real(x), Ogre::Real(feetY + EyeHeight), Ogre::Real(z));
}

void Tessellar::handle(const TSPackets::Login& packet) {
  Network::handle(packet);
  m_headsUp->status().loggedIn();
}

void Tessellar::handle(const TSPackets::TimeUpdate& packet) {
  followServerTime(m_serverTime, packet.time);
}

void Tessellar::handle(const TSPackets::Ping& packet) {
  if (m_spawned)
    send(packet);
}

void Tessellar::handle(const TSPackets::SpawnPoint& packet) {
  std::cout << "received spawn position: " << packet.x << ", " << packet.y << ", " << packet.z
            << std::endl;
  m_positionPacket.x = packet.x;
  m_positionPacket.y = double(packet.y) + 1;
  m_positionPacket.z = packet.z;
  // The first place the server gives is where the player starts: reports
  // never carry the camera's start position, a place the server never gave.
  if (!m_spawned)
    returnToPosition();
  m_spawned = true;
}

// A kick ends the session, not the program: the reason stays on the status
// line and the connect key connects again.
void Tessellar::handle(const TSPackets::Disconnect& packet) {
  std::cerr << "the server closed the connection: " << packet.reason << std::endl;
  m_headsUp->status().kicked(localeToUtf8(packet.reason));
}

void Tessellar::handle(const TSPackets::PlayerPosAndLook& packet) {
  takePosition(packet, m_positionPacket);
  placeEye(packet.x, packet.y, packet.z);
  m_spawned = true;
  applyLook();
  std::cout << "received pos and look packet:" << std::endl
            << "x,y,z,stance = " << m_positionPacket.x << "," << m_positionPacket.y << ","
            << m_positionPacket.z << "," << m_positionPacket.stance << std::endl
            << "yaw, pitch, on_ground = " << m_positionPacket.yaw << "," << m_positionPacket.pitch
            << "," << m_positionPacket.onGround << std::endl
            << "answering with same packet" << std::endl;
  send(m_positionPacket);
  std::cout << "sending first playerpos&look" << std::endl;
}

// A position without a look (some servers send it after the login): obeyed
// like a correction, and not echoed.
void Tessellar::handle(const TSPackets::PlayerPosition& packet) {
  Network::handle(packet);
  takePosition(packet, m_positionPacket);
  placeEye(packet.x, packet.y, packet.z);
  m_spawned = true;
}

} // namespace GamePages
