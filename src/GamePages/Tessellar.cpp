// The game page: construction from "tessellar.cfg", the key commands and
// what the page does when the session tells it something.

#include "GamePages/Tessellar.h"

#include <OgreConfigFile.h>

#include <algorithm>

#include "Game.h"
#include "GamePages/KeyNames.h"
#include "WorldBounds.h"

namespace GamePages {

namespace {

// Degrees.
const double MaxPitch = 89.9;

ClientSettings readSettingsFile(const std::string& file, const LaunchOptions& options) {
  Ogre::ConfigFile config;
  config.load(file, "\t:=", true);
  return readClientSettings(config, options);
}

// Without a setting the shell's anisotropic default stays, which software
// renderers pay for dearly.
void applyTextureFiltering(TextureFiltering filtering) {
  switch (filtering) {
  case TextureFiltering::Anisotropic:
    MyOgre::setTextureFiltering(Ogre::TFO_ANISOTROPIC, 8);
    break;
  case TextureFiltering::Trilinear:
    MyOgre::setTextureFiltering(Ogre::TFO_TRILINEAR, 1);
    break;
  case TextureFiltering::Bilinear:
    MyOgre::setTextureFiltering(Ogre::TFO_BILINEAR, 1);
    break;
  case TextureFiltering::None:
    MyOgre::setTextureFiltering(Ogre::TFO_NONE, 1);
    break;
  }
}

} // namespace

Tessellar::Tessellar(const LaunchOptions& options, const Files::ClientFiles& files)
    : m_shell(files.shell),
      m_settings(readSettingsFile(files.settings, options)),
      m_session(std::make_unique<ClientSession>(Game::instance().ioService())) {
  applyGraphicsSettings();
  m_session->setAccountServices(m_settings.accountServices);
  m_session->setStallTimeout(m_settings.stallTimeout);
  const Ogre::Vector3 start = m_shell.cameraNode()->getPosition();
  m_player.placeFeetAt(start.x, start.y - EyeHeight, start.z);
  m_outline = std::make_unique<BlockOutline>(m_shell);
  m_headsUp = std::make_unique<HeadsUp>(
      m_shell.root(), SessionStatus(serverName(m_settings), nameOfKey(m_settings.keys.connect)));
  followSession();
  registerChunkHandlers();
  registerEntityHandlers();
  registerChatHandlers();
  m_shell.setListener(this);
}

// The session goes first: its connection and account login end before the
// world and the shell they might still reach.
Tessellar::~Tessellar() {
  m_shell.setListener(nullptr);
  m_session.reset();
  m_world.reset();
  m_entityManager.reset();
  m_outline.reset();
}

void Tessellar::applyGraphicsSettings() {
  m_shell.sceneManager()->setAmbientLight(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1.0f));
  m_shell.camera()->setFOVy(Ogre::Degree(Ogre::Real(m_settings.fieldOfView)));
  if (m_settings.filtering)
    applyTextureFiltering(*m_settings.filtering);
  if (m_settings.viewDistance)
    m_shell.camera()->setFarClipDistance(WorldView::farClipDistance(*m_settings.viewDistance));
  m_shell.setMouseLook(m_settings.mouseSensitivity, m_settings.invertMouse);
  m_shell.sky().setMode(m_settings.sky);
  Game::instance().setFrameRateLimit(m_settings.frameRateLimit);
}

// The session says what became of it on the status line; the player moves
// where the server places them and turns where it turns them.
void Tessellar::followSession() {
  ClientSession::Events events;
  events.loggedIn = [this] { m_headsUp->status().loggedIn(); };
  events.placed = [this](double x, double feetY, double z) { placePlayer(x, feetY, z); };
  events.ended = [this](const SessionEnd& end) { m_headsUp->status().ended(end); };
  events.turned = [this](const ClientSession::Look& look) { turnPlayer(look); };
  followItems(events);
  followWindows(events);
  m_session->setEvents(std::move(events));
}

// While the chat field is open, every key types into it; while a window's
// screen is up, only the screen's keys and the hotbar's count. Keys the page
// does not take keep the shell's meaning.
bool Tessellar::keyPressed(const OIS::KeyEvent& event) {
  const KeyBindings& keys = m_settings.keys;
  if (m_headsUp->chatInput().isOpen())
    typeChat(event);
  else if (windowKeyPressed(event.key))
    return true;
  else if (m_screenOpen)
    return false;
  else if (handButton(event.key, true))
    return true;
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
    return itemKeyPressed(event.key);
  return true;
}

// Closing the window ends the program as the quit key does, goodbye
// included.
void Tessellar::windowClosed() { disconnectFromServer(); }

// A session under way ends with a goodbye; each connection starts with an
// empty world.
void Tessellar::connectToServer() {
  m_session->connect(m_settings.host, m_settings.port, m_settings.playerName, m_settings.password);
  m_headsUp->status().connecting();
  m_playerList.clear();
  m_inventory.clear();
  startWorld();
}

// A new world for a new connection or a new life: nothing of the old one's
// chunks, entities or health stays.
void Tessellar::startWorld() {
  m_screenOpen = false;
  m_health.reset();
  m_entityManager = std::make_unique<EntityManager>(m_shell);
  m_world = std::make_unique<World>(
      m_shell, m_settings.viewDistance,
      DetailPolicy(m_settings.detailDistance, m_settings.coarseDistance));
}

void Tessellar::disconnectFromServer() {
  m_session->disconnect();
  m_entityManager.reset();
  m_world.reset();
  Game::instance().stop();
}

void Tessellar::returnToPosition() {
  const TSPackets::PlayerPosAndLook& position = m_session->position();
  placePlayer(position.x, position.y, position.z);
}

// The camera goes there at once too, so that the frames before the next
// tick already show the new place; the world's chunks follow the place too,
// so that those the server sends around it next are taken. The session
// gives only places within the world.
void Tessellar::placePlayer(double x, double feetY, double z) {
  m_player.placeFeetAt(x, feetY, z);
  const Vox::Vector3DFloat eye = m_player.eye().current();
  m_shell.cameraNode()->setPosition(eye.x, eye.y, eye.z);
  if (m_world)
    m_world->model().followPlayer(WorldBounds::columnOf(eye.x, eye.z));
}

// The look comes in the protocol's convention; a look straight up or down
// is held just short of it, where the camera still knows its yaw.
void Tessellar::turnPlayer(const ClientSession::Look& look) {
  const double pitch = std::clamp(double(look.pitch), -MaxPitch, MaxPitch);
  const Vox::Vector3DDouble view = lookDirection(look.yaw, pitch);
  m_shell.setCameraDirection(Ogre::Vector3(Ogre::Real(view.x), Ogre::Real(view.y), Ogre::Real(view.z)));
  applyLook();
}

} // namespace GamePages
