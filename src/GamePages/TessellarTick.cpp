// The game page's tick and frame. The tick keeps time with the server,
// moves the player, the entities and the world, reports the position and
// uses the player's hand; the frame reads the input, places the camera
// between the last two ticks, culls the world for that camera and draws.

#include <iostream>

#include "Game.h"
#include "GamePages/ProtocolLook.h"
#include "GamePages/Tessellar.h"
#include "WorldBounds.h"
#include "player/WorldBlocks.h"

namespace GamePages {

namespace {

std::chrono::microseconds microsecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

} // namespace

void Tessellar::tick() {
  const auto start = std::chrono::steady_clock::now();
  const auto late = std::chrono::duration_cast<std::chrono::microseconds>(
      start - Game::instance().tickDue());
  std::size_t meshesDrawn = 0;
  std::chrono::microseconds moveTime{0};
  m_session->paceTime();
  // The world and the entities exist from the connect key on.
  if (m_session->isConnected() && m_world) {
    applyLook();
    const auto moveStart = std::chrono::steady_clock::now();
    moveAndAim();
    moveTime = microsecondsSince(moveStart);
    // Before the server has placed the player, the eye is wherever the
    // camera started: the world takes chunks anywhere until then.
    if (m_session->spawned()) {
      const Vox::Vector3DFloat eye = m_player.eye().current();
      m_world->model().followPlayer(WorldBounds::columnOf(eye.x, eye.z));
    }
    m_entityManager->update();
    meshesDrawn = m_world->update();
    reportPosition();
    reportRunning();
    useHand();
  } else {
    m_player.standStill();
    m_aim.reset();
  }
  m_handPresses = {};
  m_outline->show(m_aim ? std::optional(m_aim->block) : std::nullopt);
  m_shell.sky().follow(m_session->serverTime());
  m_lastTickTime = microsecondsSince(start);
  if (m_settings.reportTimings)
    reportTickTiming(late, meshesDrawn, moveTime);
}

// The input goes first: the look it turns is the one this frame culls and
// draws with.
void Tessellar::frame(float progress) {
  const auto start = std::chrono::steady_clock::now();
  m_shell.pumpInput();
  if (m_shell.window()->isClosed())
    return;
  drawFrame(progress);
  m_lastFrameTime = microsecondsSince(start);
  ++m_frames;
  if (m_settings.reportTimings)
    reportFrameTiming();
}

void Tessellar::drawFrame(float progress) {
  const Vox::Vector3DFloat eye = m_player.eye().drawnAt(progress);
  m_shell.cameraNode()->setPosition(eye.x, eye.y, eye.z);
  if (m_world)
    m_world->cull();
  showPlayerState();
  showWindowScreen();
  showPlayerList();
  m_headsUp->refresh(infoPanel());
  if (!m_shell.renderFrame()) {
    m_session->close();
    Game::instance().stop();
  }
}

void Tessellar::reportTickTiming(std::chrono::microseconds late, std::size_t meshesDrawn,
                                 std::chrono::microseconds moveTime) const {
  std::cout << "tick " << m_session->localTick() << " took " << m_lastTickTime.count()
            << " us, started " << late.count() << " us late, drew " << meshesDrawn
            << " chunk meshes, moved the player in " << moveTime.count() << " us" << std::endl;
}

void Tessellar::reportFrameTiming() const {
  std::cout << "frame " << m_frames << " took " << m_lastFrameTime.count() << " us";
  if (m_world)
    std::cout << ", culled " << m_world->view().culledChunks() << " of "
              << m_world->view().chunkCount() << " chunks, showed "
              << m_world->view().shownSections() << " of " << m_world->view().sectionCount()
              << " sections";
  std::cout << ", rendered " << m_shell.window()->getStatistics().triangleCount << " triangles"
            << std::endl;
}

// Reported in the protocol's convention, which servers and other players
// read; the camera keeps its own. The pitch is the elevation of the view:
// the orientation's own pitch element is a turn about the world's x axis,
// which equals it only while the camera looks along z.
void Tessellar::applyLook() {
  const Ogre::Quaternion orientation = m_shell.cameraNode()->getOrientation();
  const Ogre::Vector3 view = orientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
  m_look.pitch = protocolPitch(Ogre::Degree(Ogre::Math::ASin(view.y)).valueDegrees());
  m_look.yaw = protocolYaw(Ogre::Degree(orientation.getYaw()).valueDegrees());
}

// While the player types a chat line, or is dead, the keys do not move them.
PlayerBody::Controls Tessellar::movementControls() {
  PlayerBody::Controls controls;
  controls.yaw = m_look.yaw;
  if (m_headsUp->chatInput().isOpen() || m_screenOpen || !playerActs())
    return controls;
  const MovementKeys& keys = m_settings.keys.movement;
  if (m_shell.isKeyDown(keys[Forward]))
    controls.forward = 1;
  else if (m_shell.isKeyDown(keys[Back]))
    controls.forward = -1;
  if (m_shell.isKeyDown(keys[Left]))
    controls.strafe = 1;
  else if (m_shell.isKeyDown(keys[Right]))
    controls.strafe = -1;
  controls.jump = m_shell.isKeyDown(keys[Jump]);
  controls.run = m_shell.isKeyDown(m_settings.keys.run);
  return controls;
}

// The blocks stay locked for the move and the aim: both see one state of
// the world.
void Tessellar::moveAndAim() {
  const WorldBlocks blocks(m_world->model());
  m_player.move(movementControls(), blocks);
  m_aim = aimAt(m_player.eyePosition(), lookDirection(m_look.yaw, m_look.pitch), HandReach,
                blocks);
  m_aimedType = m_aim ? blocks.blockAt(m_aim->block.x, m_aim->block.y, m_aim->block.z).value_or(0)
                      : 0;
}

void Tessellar::reportPosition() {
  const Vox::Vector3DDouble& feet = m_player.feet();
  m_session->report({feet.x, feet.y, feet.z, m_look, m_player.onGround()});
}

} // namespace GamePages
