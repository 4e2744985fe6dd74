#ifndef AUTHENTICATION_H
#define AUTHENTICATION_H

// The HTTP side of the login: the requests to the account services, the
// URLs they take and the account login's answer.

#include <atomic>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "AccountServices.h"

// Whether a response's text may appear in the log: the account login's
// answer carries the session id.
enum class ResponseLog { Shown, Hidden };

// Larger answers are refused: a service must not make the client allocate
// without bound.
constexpr std::size_t MaxResponseBytes = 64 * 1024;

// One HTTP or HTTPS GET.
struct HttpGet {
  std::string url;
  // Upper bound of the request, connection included.
  long timeoutSeconds = 10;
  ResponseLog log = ResponseLog::Shown;
  // Receives the request's log lines; standard output when empty.
  std::function<void(const std::string&)> logLine;
  // When set, the transfer ends soon after it becomes true.
  const std::atomic<bool>* cancelled = nullptr;
};

// What one transfer collects, fresh for every request.
struct HttpResponse {
  std::string body;
  const HttpGet* request = nullptr;
  bool tooLarge = false;
};

// A request to an account service that did not get an answer: what() is the
// login's report, detail() why the request failed.
class ServiceFailure : public std::runtime_error {
public:
  ServiceFailure(const std::string& what, std::string detail)
      : std::runtime_error(what), m_detail(std::move(detail)) {}
  const std::string& detail() const { return m_detail; }

private:
  std::string m_detail;
};

// Performs the request and returns the body. Throws ServiceFailure when the
// request fails, times out or is cancelled, std::runtime_error when it cannot
// be made.
std::string my_dummy_curl(const HttpGet& request);

// libcurl's write callback: appends a chunk to the HttpResponse given as
// userData.
std::size_t my_dummy_write(char* data, std::size_t size, std::size_t count, void* userData);

// Whether a secret goes into a URL as it is or masked for the log.
enum class Secrets { Clear, Masked };

std::string accountLoginUrl(const AccountServices& services, const std::string& user,
                            const std::string& password);
std::string sessionJoinUrl(const AccountServices& services, const std::string& user,
                           const std::string& sessionId, const std::string& serverId,
                           Secrets secrets = Secrets::Clear);

// Percent-encodes one query value.
std::string escapeQueryValue(const std::string& value);

// Splits the account login's answer at each ":"; the last field loses the
// answer's final character (its line end).
std::vector<std::string> splitLoginResponse(const std::string& response);

// What the log shows in place of a credential.
std::string maskSecret(const std::string& secret);

// The account login's answer as the log shows it: the session id masked.
std::string maskLoginResponse(const std::string& response);

#endif
