#include "Network.h"

#include <iostream>

#include "Authentication.h"

// The answer to the server's handshake: a Login, after an account login and
// a session join unless the server's hash is a single character. The account
// services are asked on a thread of their own; the receive loop waits for
// them, as it waits for a handler, while ticks and drawing go on.

namespace {

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
  startAccountLogin(hash);
}

// The login's thread hands its lines and its outcome to the event loop; they
// count only while the login's token lives.
void Network::startAccountLogin(const std::string& hash) {
  m_loginToken = std::make_shared<char>();
  m_loginWork.emplace(m_ioService.get_executor());
  const auto onLoop = [&ioService = m_ioService,
                       token = std::weak_ptr<char>(m_loginToken)](std::function<void()> step) {
    asio::post(ioService, [token, step = std::move(step)] {
      if (!token.expired()) {
        step();
      }
    });
  };
  m_accountLogin = std::make_unique<AccountLogin>(
      AccountLogin::Request{m_accountServices, m_userName, m_password, hash},
      [onLoop](const std::string& line) { onLoop([line] { std::cout << line << std::endl; }); },
      [onLoop, this](AccountLogin::Outcome outcome) {
        onLoop([this, outcome = std::move(outcome)] { finishAccountLogin(outcome); });
      });
}

void Network::finishAccountLogin(const AccountLogin::Outcome& outcome) {
  m_loginToken.reset();
  m_loginWork.reset();
  m_accountLogin.reset();
  guarded([&] {
    if (outcome.failure) {
      std::rethrow_exception(outcome.failure);
    }
    m_userName = outcome.userName;
    m_sessionId = outcome.sessionId;
    std::cout << "authenticating with sessionkey: " << maskSecret(m_sessionId) << std::endl;
    send(loginPacket(m_userName));
  });
  if (packetDone()) {
    handlePackets();
  }
}

void Network::stopAccountLogin() {
  m_loginToken.reset();
  m_loginWork.reset();
  if (m_accountLogin) {
    m_accountLogin->cancel();
  }
}
