#ifndef ACCOUNT_SERVICES_H
#define ACCOUNT_SERVICES_H

#include <string>

// Where the account login (HTTPS) and the session join (HTTP) are sent, read
// from the "Accounts" section of "tessellar.cfg". Each URL is a scheme and a
// host (and port), without a path: the paths and queries are the protocol's.
struct AccountServices {
  std::string loginUrl = "https://login.tessellar.net";
  std::string joinUrl = "http://session.tessellar.net";
  // Upper bound of one HTTP request, connection included.
  long timeoutSeconds = 15;
};

#endif
