// The game page's side of the player's hands: the dig and place buttons,
// what the hand tells the server each tick, and the running the server
// shows to other players.

#include "GamePages/Tessellar.h"

namespace GamePages {

namespace {

// Animation's number for a swing of the arm.
const signed char SwingArm = 1;
// EntityAction's numbers for running.
const signed char StartRunning = 4;
const signed char StopRunning = 5;

} // namespace

// A press counts until the next tick even when released before it: a click
// shorter than a tick still digs or places.
bool Tessellar::handButton(const ButtonBinding& button, bool pressed) {
  if (button == m_settings.keys.dig) {
    m_digHeld = pressed;
    m_handPresses.dig = m_handPresses.dig || pressed;
    return true;
  }
  if (button == m_settings.keys.place) {
    m_handPresses.place = m_handPresses.place || pressed;
    return true;
  }
  return false;
}

void Tessellar::keyReleased(const OIS::KeyEvent& event) { handButton(event.key, false); }

void Tessellar::mousePressed(OIS::MouseButtonID button) {
  if (m_screenOpen)
    screenClicked(button);
  else if (m_world && m_health.dead())
    deathScreenClicked();
  else if (!m_headsUp->chatInput().isOpen())
    handButton(button, true);
}

void Tessellar::mouseReleased(OIS::MouseButtonID button) { handButton(button, false); }

// Nothing of the hand reaches a server before it has placed the player, nor
// while the player types or is dead. A place carries the held stack.
void Tessellar::useHand() {
  Hand::Buttons buttons;
  if (m_session->spawned() && !m_headsUp->chatInput().isOpen() && !m_screenOpen && playerActs()) {
    buttons.dig = m_digHeld || m_handPresses.dig;
    buttons.place = m_handPresses.place;
  }
  sendHand(m_hand.tick(buttons, m_aim, m_aimedType, m_session->creative(), heldItem()));
  m_headsUp->setDigProgress(m_hand.digProgress());
}

void Tessellar::sendHand(const Hand::Packets& packets) {
  for (const TSPackets::PlayerDig& dig : packets.digs)
    m_session->send(dig);
  if (packets.place)
    m_session->send(*packets.place);
  if (packets.swing) {
    TSPackets::Animation swing;
    swing.entityId = m_session->playerEntityId();
    swing.animation = SwingArm;
    m_session->send(swing);
  }
}

// Running is walking forward with the run key held. A new session starts
// walking.
void Tessellar::reportRunning() {
  if (!m_session->spawned()) {
    m_running = false;
    return;
  }
  const PlayerBody::Controls controls = movementControls();
  const bool running = controls.run && controls.forward > 0;
  if (running == m_running)
    return;
  m_running = running;
  TSPackets::EntityAction action;
  action.entityId = m_session->playerEntityId();
  action.action = running ? StartRunning : StopRunning;
  m_session->send(action);
}

} // namespace GamePages
