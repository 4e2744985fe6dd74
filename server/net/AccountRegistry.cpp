#include "server/AccountRegistry.h"

#include <cstdio>

namespace Server {

namespace {

const char* const Refusal = "Bad login";

std::uint64_t mix(std::uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

} // namespace

std::string authConnectionHash(std::int64_t seed) {
  return hex(mix(static_cast<std::uint64_t>(seed) ^ 0x68617368ull));
}

AccountRegistry::AccountRegistry(std::string user, std::string password, std::string serverHash,
                                 std::int64_t seed)
    : m_user(std::move(user)), m_password(std::move(password)),
      m_serverHash(std::move(serverHash)), m_seed(seed) {}

std::string AccountRegistry::login(const std::string& user, const std::string& password,
                                   const std::string& version) {
  if (user != m_user || password != m_password)
    return Refusal;
  const std::lock_guard<std::mutex> lock(m_mutex);
  const std::string sessionId =
      hex(mix(static_cast<std::uint64_t>(m_seed) * 31 + ++m_logins));
  m_sessions[sessionId] = user;
  return version + ":deprecated:" + user + ":" + sessionId + "\n";
}

std::string AccountRegistry::join(const std::string& user, const std::string& sessionId,
                                  const std::string& serverId) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto session = m_sessions.find(sessionId);
  if (session == m_sessions.end() || session->second != user || serverId != m_serverHash)
    return Refusal;
  m_joined.insert(user);
  return "OK";
}

bool AccountRegistry::takeJoin(const std::string& user) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto joined = m_joined.find(user);
  if (joined == m_joined.end())
    return false;
  m_joined.erase(joined);
  return true;
}

} // namespace Server
