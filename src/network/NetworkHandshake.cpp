#include "Network.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "Authentication.h"

// The answer to the server's handshake: a Login, after an account login and
// a session join unless the server's hash is a single character.

namespace {

constexpr int JoinAttempts = 10;
// Fields of the account login's answer.
constexpr std::size_t LoginAnswerFields = 4;
constexpr std::size_t UserNameField = 2;
constexpr std::size_t SessionIdField = 3;

TSPackets::Login loginPacket(const std::string& userName) {
  TSPackets::Login login;
  login.userName = userName;
  return login;
}

} // namespace

void Network::handle(const TSPackets::HandShake& packet) {
  const std::string& hash = packet.connectionHash;
  std::cout << "handshake: \"" << hash << "\"" << std::endl;
  std::cout << "handshakelen: \"" << hash.size() << "\"" << std::endl;
  std::cout << "sending login packet" << std::endl;

  if (hash.size() == 1) {
    const TSPackets::Login login = loginPacket(m_userName);
    std::cout << "authenticating with password: " << maskSecret(m_password) << std::endl;
    send(login);
    return;
  }

  logIn();
  joinSession(hash);
  const TSPackets::Login login = loginPacket(m_userName);
  std::cout << "authenticating with sessionkey: " << maskSecret(m_sessionId) << std::endl;
  send(login);
}

void Network::logIn() {
  const std::string response =
      my_dummy_curl(accountLoginUrl(m_accountServices, m_userName, m_password),
                    m_accountServices.timeoutSeconds, ResponseLog::Hidden);
  std::cout << maskLoginResponse(response) << std::endl;

  const std::vector<std::string> fields = splitLoginResponse(response);
  for (std::size_t field = 0; field < LoginAnswerFields; ++field) {
    const std::string& value = fields.at(field);
    std::cout << (field == SessionIdField ? maskSecret(value) : value) << std::endl;
  }
  if (fields.size() > LoginAnswerFields) {
    throw "unknown response from ts masterserver";
  }
  m_userName = fields[UserNameField];
  m_sessionId = fields[SessionIdField];
}

void Network::joinSession(const std::string& hash) {
  for (int attempt = 0; attempt < JoinAttempts; ++attempt) {
    std::this_thread::sleep_for(m_accountServices.joinAttemptDelay);
    std::cout << sessionJoinUrl(m_accountServices, m_userName, m_sessionId, hash, Secrets::Masked)
              << std::endl;
    const std::string response =
        my_dummy_curl(sessionJoinUrl(m_accountServices, m_userName, m_sessionId, hash),
                      m_accountServices.timeoutSeconds);
    std::cout << response << std::endl;
    if (response.compare(0, 2, "OK") == 0) {
      return;
    }
  }
}
