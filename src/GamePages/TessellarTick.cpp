// The game page's tick and frame. The tick keeps time with the server,
// moves the player, the entities and the world, and reports the position;
// the frame reads the input, places the camera between the last two ticks,
// culls the world for that camera and draws.

#include <iostream>

#include "Game.h"
#include "GamePages/PlayerMotion.h"
#include "GamePages/ProtocolLook.h"
#include "GamePages/Tessellar.h"
#include "WorldBounds.h"

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
  m_session->paceTime();
  // The world and the entities exist from the connect key on.
  if (m_session->isConnected() && m_world) {
    applyLook();
    m_player.move(movementInput(), m_shell.cameraNode()->getOrientation().getYaw().valueRadians(),
                  m_world->model());
    // Before the server has placed the player, the eye is wherever the
    // camera started: the world takes chunks anywhere until then.
    if (m_session->spawned()) {
      const Vox::Vector3DFloat eye = m_player.eye().current();
      m_world->model().followPlayer(WorldBounds::columnOf(eye.x, eye.z));
    }
    m_entityManager->update();
    meshesDrawn = m_world->update();
    reportPosition();
  } else {
    m_player.standStill();
  }
  m_shell.sky().follow(m_session->serverTime());
  m_lastTickTime = microsecondsSince(start);
  if (m_settings.reportTimings)
    reportTickTiming(late, meshesDrawn);
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
  showPlayerList();
  m_headsUp->refresh(infoPanel());
  if (!m_shell.renderFrame()) {
    m_session->close();
    Game::instance().stop();
  }
}

void Tessellar::reportTickTiming(std::chrono::microseconds late, std::size_t meshesDrawn) const {
  std::cout << "tick " << m_session->localTick() << " took " << m_lastTickTime.count()
            << " us, started " << late.count() << " us late, drew " << meshesDrawn
            << " chunk meshes" << std::endl;
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

// While the player types a chat line, the keys do not move them.
MovementInput Tessellar::movementInput() {
  MovementInput input;
  if (m_headsUp->chatInput().isOpen())
    return input;
  const MovementKeys& keys = m_settings.keys.movement;
  input.forward = m_shell.isKeyDown(keys[Forward]);
  input.back = m_shell.isKeyDown(keys[Back]);
  input.right = m_shell.isKeyDown(keys[Right]);
  input.left = m_shell.isKeyDown(keys[Left]);
  input.jump = m_shell.isKeyDown(keys[Jump]);
  input.fast = m_shell.isKeyDown(m_settings.keys.run);
  return input;
}

void Tessellar::reportPosition() {
  const Vox::Vector3DFloat eye = m_player.eye().current();
  m_session->report({eye.x, m_player.feetY(), eye.z, m_look});
}

} // namespace GamePages
