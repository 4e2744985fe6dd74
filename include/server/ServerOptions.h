#ifndef SERVER_OPTIONS_H
#define SERVER_OPTIONS_H

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace Server {

// The local world server's settings, from its command line.
struct ServerOptions {
  std::string host = "127.0.0.1";
  // 0 picks a free port.
  unsigned short port = 25565;
  std::int64_t seed = 0;
  // Columns are sent in a square of (2r + 1)^2 around the player's chunk.
  int viewRadius = 5;
  int mobs = 6;
  // Account login: a long connection hash and the HTTP login and join
  // endpoints for the one configured user.
  bool auth = false;
  unsigned short httpPort = 25566;
  std::string user = "player";
  std::string password = "password";
  std::chrono::milliseconds keepAliveTimeout{30000};
  std::chrono::milliseconds loginTimeout{10000};
  // Stop once the first player to log in has left and no one else is on.
  bool once = false;
  bool help = false;
  bool version = false;
};

constexpr int MaxViewRadius = 32;
constexpr int MaxMobs = 256;

// Reads the arguments after the program name; throws std::invalid_argument
// with a readable message for an unknown option, a missing value or a bad
// value.
ServerOptions parseServerOptions(const std::vector<std::string>& arguments);

// The --help text and the --version line, each ending in a line end.
std::string serverUsage();
std::string serverVersion();

} // namespace Server

#endif
