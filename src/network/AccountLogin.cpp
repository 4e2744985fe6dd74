#include "AccountLogin.h"

#include <algorithm>
#include <stdexcept>

#include "Authentication.h"

namespace {

constexpr int JoinAttempts = 10;
// Fields of the account login's answer.
constexpr std::size_t LoginAnswerFields = 4;
constexpr std::size_t UserNameField = 2;
constexpr std::size_t SessionIdField = 3;

// The account service's answer when it does not let the player in, such as
// "Bad login": its first line is the reason.
class LoginRefused : public std::runtime_error {
public:
  explicit LoginRefused(const std::string& answer)
      : std::runtime_error("account login refused: " + answer), m_answer(answer) {}
  const std::string& answer() const { return m_answer; }

private:
  std::string m_answer;
};

std::string firstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return line.empty() ? "an empty answer" : line;
}

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

// Nothing thrown leaves the thread: every failure is the outcome's.
void AccountLogin::run() {
  Outcome outcome;
  const char* service = "the account service";
  const auto failed = [&outcome](std::string reason) {
    outcome.failure = std::current_exception();
    outcome.reason = std::move(reason);
  };
  try {
    logIn(outcome);
    service = "the session service";
    joinSession(outcome);
  } catch (const LoginRefused& refusal) {
    failed(refusal.answer());
  } catch (const ServiceFailure& failure) {
    failed(std::string(service) + " failed: " + failure.detail());
  } catch (const std::exception& failure) {
    failed(failure.what());
  } catch (const char* text) {
    failed(text);
  } catch (...) {
    failed("unknown error");
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
  for (std::size_t field = 0; field < std::min(fields.size(), LoginAnswerFields); ++field) {
    m_log(field == SessionIdField ? maskSecret(fields[field]) : fields[field]);
  }
  if (fields.size() < LoginAnswerFields) {
    throw LoginRefused(firstLine(response));
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
