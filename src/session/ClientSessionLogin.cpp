#include "session/ClientSession.h"

#include <iostream>

#include "Authentication.h"
#include "session/PacketLog.h"

// The answer to the server's handshake: a Login, after an account login and
// a session join unless the server's hash is a single character. The account
// services are asked on a thread of their own; the packets after the
// handshake wait for them, as they wait for a handler, while ticks and
// drawing go on. A login the services refuse or cannot give ends the session.

namespace {

TSPackets::Login loginPacket(const std::string& userName) {
  TSPackets::Login login;
  login.userName = userName;
  return login;
}

// What was thrown, as the report names it.
std::string describe(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    return error.what();
  } catch (const char* text) {
    return text;
  } catch (...) {
    return "unknown error";
  }
}

} // namespace

void ClientSession::handle(const TSPackets::HandShake& packet) {
  const std::string& hash = packet.connectionHash;
  logPacket(packet);
  std::cout << "sending login packet" << std::endl;
  if (hash.size() == 1) {
    std::cout << "authenticating with password: " << maskSecret(m_password) << std::endl;
    send(loginPacket(m_userName));
    return;
  }
  startAccountLogin(hash);
}

// The login's thread hands its lines and its outcome to the event loop; they
// count only while the login's token lives.
void ClientSession::startAccountLogin(const std::string& hash) {
  m_connection.holdPackets();
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

void ClientSession::finishAccountLogin(const AccountLogin::Outcome& outcome) {
  m_loginToken.reset();
  m_loginWork.reset();
  m_accountLogin.reset();
  if (outcome.failure) {
    m_connection.endOnError(SessionEnd::Kind::LoginFailed, describe(outcome.failure),
                            outcome.reason);
    return;
  }
  m_userName = outcome.userName;
  m_sessionId = outcome.sessionId;
  std::cout << "authenticating with sessionkey: " << maskSecret(m_sessionId) << std::endl;
  send(loginPacket(m_userName));
  m_connection.releasePackets();
}

void ClientSession::stopAccountLogin() {
  m_loginToken.reset();
  m_loginWork.reset();
  if (m_accountLogin) {
    m_accountLogin->cancel();
  }
}
