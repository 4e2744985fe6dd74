#ifndef GAME_PAGES_SESSION_STATUS_H
#define GAME_PAGES_SESSION_STATUS_H

// What the status line says about the session with the server: not yet
// connected, connecting, connected, kicked with the server's reason,
// connection lost, why a connection could not be made, or why the account
// services did not let the player in.

#include <string>

#include "SessionEnd.h"

namespace GamePages {

class SessionStatus {
public:
  enum class State { Idle, Connecting, Connected, Kicked, Lost, Unreachable, Failed, LoginFailed };
  enum class Tone { Plain, Good, Bad };

  // The server as the player knows it ("host:port") and the name of the key
  // that connects.
  SessionStatus(std::string server, std::string connectKey);

  void connecting();
  void loggedIn();
  // The reason in UTF-8; colour codes are dropped.
  void kicked(const std::string& reason);
  // The connection's socket is closed, not by the player; `why` (UTF-8,
  // may be empty) is what the connection last reported.
  void closed(const std::string& why = "");
  // The connection could not even be started.
  void failed(const std::string& why);
  // The account login or the session join did not let the player in; `why`
  // in UTF-8.
  void loginFailed(const std::string& why);
  // The session ended as the connection says; an end the player asked for
  // leaves the line as it is.
  void ended(const SessionEnd& end);

  State state() const { return m_state; }
  // One line in UTF-8.
  std::string text() const;
  Tone tone() const;

private:
  std::string m_server;
  std::string m_connectKey;
  State m_state = State::Idle;
  std::string m_detail;
};

} // namespace GamePages

#endif
