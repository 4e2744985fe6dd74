#include "GamePages/SessionStatus.h"

#include <utility>

#include "ChatText.h"
#include "LocaleText.h"

namespace GamePages {

namespace {

const std::size_t MaxReasonBytes = 200;

} // namespace

SessionStatus::SessionStatus(std::string server, std::string connectKey)
    : m_server(std::move(server)), m_connectKey(std::move(connectKey)) {}

void SessionStatus::connecting() { m_state = State::Connecting; }

void SessionStatus::loggedIn() { m_state = State::Connected; }

// The status line has room for a reason, not for a page of text.
void SessionStatus::kicked(const std::string& reason) {
  m_state = State::Kicked;
  m_detail = utf8Prefix(withoutColourCodes(reason), MaxReasonBytes);
}

void SessionStatus::closed(const std::string& why) {
  if (m_state == State::Connecting)
    m_state = State::Unreachable;
  else if (m_state == State::Connected)
    m_state = State::Lost;
  else
    return;
  m_detail = utf8Prefix(why, MaxReasonBytes);
}

void SessionStatus::failed(const std::string& why) {
  m_state = State::Failed;
  m_detail = why;
}

void SessionStatus::loginFailed(const std::string& why) {
  m_state = State::LoginFailed;
  m_detail = utf8Prefix(why, MaxReasonBytes);
}

void SessionStatus::ended(const SessionEnd& end) {
  const std::string why = localeToUtf8(end.text);
  switch (end.kind) {
  case SessionEnd::Kind::None:
  case SessionEnd::Kind::Closed:
    return;
  case SessionEnd::Kind::Kicked:
    kicked(why);
    return;
  case SessionEnd::Kind::NotFound:
    failed(why);
    return;
  case SessionEnd::Kind::LoginFailed:
    loginFailed(why);
    return;
  case SessionEnd::Kind::ConnectFailed:
  case SessionEnd::Kind::Lost:
  case SessionEnd::Kind::Stalled:
  case SessionEnd::Kind::Failed:
    closed(why);
    return;
  }
}

std::string SessionStatus::text() const {
  const std::string again = " - press " + m_connectKey + " to connect again";
  const std::string because = m_detail.empty() ? "" : ": " + m_detail;
  switch (m_state) {
  case State::Connecting:
    return "Connecting to " + m_server + " ...";
  case State::Connected:
    return "Connected to " + m_server;
  case State::Kicked:
    return "Kicked by the server: " + m_detail + again;
  case State::Lost:
    return "Connection to " + m_server + " lost" + because + again;
  case State::Unreachable:
    return "Could not connect to " + m_server + because + again;
  case State::Failed:
    return "Cannot connect to " + m_server + ": " + m_detail;
  case State::LoginFailed:
    return "Could not log in to " + m_server + ": " + m_detail + again;
  case State::Idle:
    break;
  }
  return "Press " + m_connectKey + " to connect to " + m_server;
}

SessionStatus::Tone SessionStatus::tone() const {
  switch (m_state) {
  case State::Connected:
    return Tone::Good;
  case State::Kicked:
  case State::Lost:
  case State::Unreachable:
  case State::Failed:
  case State::LoginFailed:
    return Tone::Bad;
  default:
    return Tone::Plain;
  }
}

} // namespace GamePages
