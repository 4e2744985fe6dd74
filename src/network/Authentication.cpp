#include "Authentication.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <utility>

#include <curl/curl.h>

namespace {

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

const char* const SecretMask = "********";

// Index of the session id among the login answer's fields.
constexpr std::size_t SessionIdField = 3;

struct QueryValue {
  const char* key;
  std::string value;
  bool secret;
};

std::string buildUrl(const std::string& base, const std::string& path,
                     const std::vector<QueryValue>& query, Secrets secrets) {
  std::string url = base + path;
  char separator = '?';
  for (const QueryValue& item : query) {
    url += separator;
    url += item.key;
    url += '=';
    url += item.secret && secrets == Secrets::Masked ? maskSecret(item.value)
                                                     : escapeQueryValue(item.value);
    separator = '&';
  }
  return url;
}

void logLine(const HttpGet& request, const std::string& line) {
  if (request.logLine) {
    request.logLine(line);
  } else {
    std::cout << line << std::endl;
  }
}

// libcurl's progress callback: a non-zero answer ends the transfer.
int abortWhenCancelled(void* cancelled, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(cancelled)->load() ? 1 : 0;
}

} // namespace

std::size_t my_dummy_write(char* data, std::size_t size, std::size_t count, void* userData) {
  auto& response = *static_cast<HttpResponse*>(userData);
  const std::size_t bytes = size * count;
  if (bytes > MaxResponseBytes - response.body.size()) {
    response.tooLarge = true;
    return 0;
  }
  response.body.append(data, bytes);
  logLine(*response.request, response.request->log == ResponseLog::Shown
                                 ? "received data: " + std::string(data, bytes)
                                 : "received data: " + std::to_string(bytes) + " bytes");
  return bytes;
}

std::string my_dummy_curl(const HttpGet& request) {
  CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) {
    throw std::runtime_error("could not initialize curl");
  }
  // A service that never answers must not hold the client for ever.
  const long timeout = std::max(1L, request.timeoutSeconds);
  HttpResponse response;
  response.request = &request;
  curl_easy_setopt(curl.get(), CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &my_dummy_write);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, timeout);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, timeout);
  // Timeouts without signals: the process has other threads.
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  if (request.cancelled) {
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, &abortWhenCancelled);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA,
                     const_cast<std::atomic<bool>*>(request.cancelled));
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  }

  const CURLcode result = curl_easy_perform(curl.get());
  if (result != CURLE_OK) {
    const std::string why =
        response.tooLarge ? "answer larger than " + std::to_string(MaxResponseBytes) + " bytes"
                          : curl_easy_strerror(result);
    logLine(request, why);
    throw ServiceFailure("could not authenticate with tessellar master server, connection failed",
                         why);
  }
  return std::move(response.body);
}

std::string escapeQueryValue(const std::string& value) {
  std::unique_ptr<char, decltype(&curl_free)> escaped(
      curl_easy_escape(nullptr, value.data(), static_cast<int>(value.size())), &curl_free);
  if (!escaped) {
    throw std::runtime_error("could not encode a query value");
  }
  return escaped.get();
}

std::string accountLoginUrl(const AccountServices& services, const std::string& user,
                            const std::string& password) {
  return buildUrl(services.loginUrl, "/",
                  {{"user", user, false}, {"password", password, true}, {"version", "9999", false}},
                  Secrets::Clear);
}

std::string sessionJoinUrl(const AccountServices& services, const std::string& user,
                           const std::string& sessionId, const std::string& serverId,
                           Secrets secrets) {
  return buildUrl(services.joinUrl, "/game/joinserver.jsp",
                  {{"user", user, false},
                   {"sessionId", sessionId, true},
                   {"serverId", serverId, false}},
                  secrets);
}

std::vector<std::string> splitLoginResponse(const std::string& response) {
  const std::size_t length = response.size();
  std::vector<std::string> fields;
  const std::size_t firstColon = response.find(':');
  fields.push_back(response.substr(0, firstColon));
  std::size_t start = firstColon == std::string::npos ? 0 : firstColon + 1;
  while (start < length) {
    const std::size_t colon = response.find(':', start);
    if (colon == std::string::npos) {
      fields.push_back(response.substr(start, length - 1 - start));
      break;
    }
    fields.push_back(response.substr(start, colon - start));
    start = colon + 1;
  }
  return fields;
}

std::string maskSecret(const std::string& secret) { return secret.empty() ? "" : SecretMask; }

std::string maskLoginResponse(const std::string& response) {
  std::size_t sessionIdStart = 0;
  for (std::size_t field = 0; field < SessionIdField; ++field) {
    const std::size_t colon = response.find(':', sessionIdStart);
    if (colon == std::string::npos) {
      return response;
    }
    sessionIdStart = colon + 1;
  }
  return response.substr(0, sessionIdStart) + SecretMask;
}
