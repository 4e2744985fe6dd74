// The game page's tick: time pacing, the player's look and motion, entities
// and world, the position report and the frame.

#include <iostream>
#include <mutex>

#include "Game.h"
#include "GamePages/PlayerMotion.h"
#include "GamePages/ProtocolLook.h"
#include "GamePages/Tessellar.h"
#include "GamePages/TimePacing.h"

namespace GamePages {

namespace {

const std::uint16_t JumpTicks = 20;
const float JumpLift = 2.0f;

} // namespace

void Tessellar::update() {
  const auto start = std::chrono::steady_clock::now();
  std::size_t meshesDrawn = 0;
  const bool render = paceTime(m_localTick, m_serverTime);
  // The world and the entities exist from the connect key on.
  if (isConnected() && m_world) {
    applyLook();
    const Vox::Vector3DFloat motion = tickMotion();
    cameraNode()->translate(Ogre::Vector3(motion.x, motion.y, motion.z), Ogre::Node::TS_WORLD);
    m_entityManager->update();
    meshesDrawn = m_world->update();
    m_world->cull();
    if (m_spawned)
      reportPosition();
  }
  followSession();
  sky().follow(m_serverTime);
  if (render) {
    m_headsUp->refresh(infoPanel());
    if (!MyOgre::update(true)) {
      disconnect();
      Game::instance().stop();
    }
  }
  m_lastTickTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  if (m_reportTimings)
    reportTiming(meshesDrawn);
}

void Tessellar::reportTiming(std::size_t meshesDrawn) const {
  std::cout << "tick " << m_localTick << " took " << m_lastTickTime.count() << " us, drew "
            << meshesDrawn << " chunk meshes";
  if (m_world)
    std::cout << ", culled " << m_world->view().culledChunks() << " of "
              << m_world->view().chunkCount() << " chunks, showed "
              << m_world->view().shownSections() << " of " << m_world->view().sectionCount()
              << " sections, rendered " << m_window->getStatistics().triangleCount
              << " triangles";
  std::cout << std::endl;
}

// Reported in the protocol's convention, which servers and other players
// read; the camera keeps its own. The pitch is the elevation of the view:
// the orientation's own pitch element is a turn about the world's x axis,
// which equals it only while the camera looks along z.
void Tessellar::applyLook() {
  const Ogre::Quaternion orientation = cameraNode()->getOrientation();
  const Ogre::Vector3 view = orientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
  m_positionPacket.pitch = protocolPitch(Ogre::Degree(Ogre::Math::ASin(view.y)).valueDegrees());
  m_positionPacket.yaw = protocolYaw(Ogre::Degree(orientation.getYaw()).valueDegrees());
}

// While the player types a chat line, the keys do not move them.
Vox::Vector3DFloat Tessellar::tickMotion() {
  MovementInput input;
  if (!m_headsUp->chatInput().isOpen()) {
    const MovementKeys& keys = m_settings.keys.movement;
    input.forward = isKeyDown(keys[Forward]);
    input.back = isKeyDown(keys[Back]);
    input.right = isKeyDown(keys[Right]);
    input.left = isKeyDown(keys[Left]);
    input.fast = isKeyDown(m_settings.keys.run);
  }
  const double yaw = cameraNode()->getOrientation().getYaw().valueRadians();
  Vox::Vector3DFloat motion = horizontalMotion(yaw, input);
  motion.y = verticalMotion();
  return motion;
}

float Tessellar::verticalMotion() {
  if (!m_headsUp->chatInput().isOpen() && isKeyDown(m_settings.keys.movement[Jump])) {
    float lift = 0;
    if (m_jumpTimer == 0) {
      lift = JumpLift;
      m_jumpTimer = JumpTicks;
    }
    --m_jumpTimer;
    return lift;
  }
  if (m_jumpTimer != 0) {
    --m_jumpTimer;
    return 0;
  }
  const Ogre::Vector3 eye = cameraNode()->getPosition();
  int ground;
  {
    std::lock_guard<std::mutex> lock(m_world->model().volumeMutex());
    ground = groundHeight(m_world->model().volume(), eye.x, eye.y, eye.z);
  }
  return groundFollowStep(eye.y, ground);
}

void Tessellar::reportPosition() {
  const Ogre::Vector3 eye = cameraNode()->getPosition();
  m_positionPacket.x = eye.x;
  m_positionPacket.y = double(eye.y) - EyeHeight;
  m_positionPacket.stance = m_positionPacket.y + EyeHeight;
  m_positionPacket.z = eye.z;
  send(m_positionPacket);
}

} // namespace GamePages
