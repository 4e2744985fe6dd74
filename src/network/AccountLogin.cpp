#include "AccountLogin.h"

#include <stdexcept>

#include "Authentication.h"

namespace {

constexpr int JoinAttempts = 10;
// Fields of the account login's answer.
constexpr std::size_t LoginAnswerFields = 4;
constexpr std::size_t UserNameField = 2;
constexpr std::size_t SessionIdField = 3;

} // namespace

AccountLogin::AccountLogin(Request request, LogLine log, Finished finished)
    : m_request(std::move(request)), m_log(std::move(log)), m_finished(std::move(finished)),
      m_thread([this] { run(); }) {}

AccountLogin::~AccountLogin() {
  cancel();
  m_thread.join();
}

void AccountLogin::cancel() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
  }
  m_wake.notify_all();
}

void AccountLogin::run() {
  Outcome outcome;
  try {
    logIn(outcome);
    joinSession(outcome);
  } catch (...) {
    outcome.failure = std::current_exception();
  }
  m_finished(std::move(outcome));
}

void AccountLogin::logIn(Outcome& outcome) {
  HttpGet login;
  login.url = accountLoginUrl(m_request.services, m_request.userName, m_request.password);
  login.timeoutSeconds = m_request.services.timeoutSeconds;
  login.log = ResponseLog::Hidden;
  login.logLine = m_log;
  login.cancelled = &m_cancelled;
  const std::string response = my_dummy_curl(login);
  m_log(maskLoginResponse(response));

  const std::vector<std::string> fields = splitLoginResponse(response);
  for (std::size_t field = 0; field < LoginAnswerFields; ++field) {
    const std::string& value = fields.at(field);
    m_log(field == SessionIdField ? maskSecret(value) : value);
  }
  if (fields.size() > LoginAnswerFields) {
    throw "unknown response from ts masterserver";
  }
  outcome.userName = fields[UserNameField];
  outcome.sessionId = fields[SessionIdField];
}

// Only answers that do not begin with "OK" are tried again; a failed request
// ends the login.
void AccountLogin::joinSession(const Outcome& outcome) {
  const AccountServices& services = m_request.services;
  HttpGet join;
  join.url = sessionJoinUrl(services, outcome.userName, outcome.sessionId, m_request.hash);
  join.timeoutSeconds = services.timeoutSeconds;
  join.logLine = m_log;
  join.cancelled = &m_cancelled;
  for (int attempt = 0; attempt < JoinAttempts; ++attempt) {
    if (!pause()) {
      throw std::runtime_error("account login cancelled");
    }
    m_log(sessionJoinUrl(services, outcome.userName, outcome.sessionId, m_request.hash,
                         Secrets::Masked));
    const std::string response = my_dummy_curl(join);
    m_log(response);
    if (response.compare(0, 2, "OK") == 0) {
      return;
    }
  }
}

bool AccountLogin::pause() {
  std::unique_lock<std::mutex> lock(m_mutex);
  return !m_wake.wait_for(lock, m_request.services.joinAttemptDelay,
                          [this] { return m_cancelled.load(); });
}
