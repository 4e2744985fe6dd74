#ifndef ACCOUNT_SERVICES_H
#define ACCOUNT_SERVICES_H

#include <chrono>
#include <string>

// Where the account login (HTTPS) and the session join (HTTP) are sent and how
// long a request may take: keys LoginURL, JoinURL and Timeout of the
// "Accounts" section of "tessellar.cfg". Each URL is a scheme and a host (and
// port), without a path: the paths and queries are the protocol's.
struct AccountServices {
  std::string loginUrl = "https://login.tessellar.net";
  std::string joinUrl = "http://session.tessellar.net";
  // Upper bound of one HTTP request, connection included.
  long timeoutSeconds = 10;
  // Pause before each session join attempt (not configurable): the session
  // service needs a moment after the login before it knows the new session.
  std::chrono::milliseconds joinAttemptDelay{1000};
};

#endif
