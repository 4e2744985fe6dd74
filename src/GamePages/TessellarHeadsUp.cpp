// The game page's side of the heads-up display: chat in and out, the
// session's status, the information panel, the list of players.

#include "GamePages/Tessellar.h"
#include "LocaleText.h"
#include "session/PacketLog.h"

namespace GamePages {

void Tessellar::registerChatHandlers() { handleHere<TSPackets::ChatMessage>(); }

void Tessellar::handle(const TSPackets::ChatMessage& packet) {
  logPacket(packet);
  m_headsUp->chatReceived(packet.message);
}

// "/" starts the line with itself, so that a command is one key shorter.
void Tessellar::openChat(const OIS::KeyEvent& event) {
  m_headsUp->chatInput().open(event.text == '/' ? U"/" : U"");
}

void Tessellar::typeChat(const OIS::KeyEvent& event) {
  ChatInput& input = m_headsUp->chatInput();
  if (input.keyPressed(event) == ChatInput::Outcome::Send && !input.text().empty())
    sendChat(input.text());
}

// Chat goes to the server only once it has taken the login.
void Tessellar::sendChat(const std::u32string& line) {
  if (m_headsUp->status().state() != SessionStatus::State::Connected) {
    m_headsUp->note("Not connected: the message was not sent");
    return;
  }
  TSPackets::ChatMessage message;
  message.message = codePointsToLocale(line);
  m_session->send(message);
}

void Tessellar::showPlayerList() {
  const bool held = m_shell.isKeyDown(m_settings.keys.playerList);
  m_headsUp->showPlayers(held && !m_headsUp->chatInput().isOpen() ? &m_playerList : nullptr);
}

InfoPanel Tessellar::infoPanel() const {
  const Vox::Vector3DFloat eye = m_player.eye().current();
  InfoPanel panel;
  panel.x = eye.x;
  panel.y = m_player.feetY();
  panel.z = eye.z;
  panel.yaw = m_look.yaw;
  panel.pitch = m_look.pitch;
  panel.tickTime = m_lastTickTime;
  panel.frameTime = m_lastFrameTime;
  panel.framesPerSecond = m_headsUp->framesPerSecond();
  panel.loadedChunks = m_world ? m_world->model().chunks().size() : 0;
  panel.trackedEntities = m_entityManager ? m_entityManager->size() : 0;
  panel.serverTime = m_session->serverTime();
  return panel;
}

} // namespace GamePages
