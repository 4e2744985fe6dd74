#ifndef ACCOUNT_REGISTRY_H
#define ACCOUNT_REGISTRY_H

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace Server {

// The account service of the one configured user: the login answer with a
// session id, the session join for this server's connection hash, and the
// game's check that a player logging in has joined. The account pages ask it
// from their own threads, the game from its own.
class AccountRegistry {
public:
  AccountRegistry(std::string user, std::string password, std::string serverHash,
                  std::int64_t seed);

  // "version:deprecated:user:session id" and a line end, or a refusal text
  // without any ":".
  std::string login(const std::string& user, const std::string& password,
                    const std::string& version);
  // "OK" when the session is the user's and the server is this one, else a
  // refusal text.
  std::string join(const std::string& user, const std::string& sessionId,
                   const std::string& serverId);
  // True once for each accepted join of the user.
  bool takeJoin(const std::string& user);

  const std::string& serverHash() const { return m_serverHash; }

private:
  const std::string m_user;
  const std::string m_password;
  const std::string m_serverHash;
  const std::int64_t m_seed;
  std::mutex m_mutex;
  std::uint64_t m_logins = 0;
  std::map<std::string, std::string> m_sessions; // session id -> user
  std::multiset<std::string> m_joined;
};

// A connection hash that asks clients for the account login: 16 hex digits
// that follow from the seed.
std::string authConnectionHash(std::int64_t seed);

} // namespace Server

#endif
