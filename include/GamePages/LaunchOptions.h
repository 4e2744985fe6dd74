#ifndef GAME_PAGES_LAUNCH_OPTIONS_H
#define GAME_PAGES_LAUNCH_OPTIONS_H

// Command-line options that override "tessellar.cfg" for one run:
//   --server HOST:PORT   the server to connect to ("[::1]:25565" for IPv6)
//   --name NAME          the player name
// Each may also be written as --option=value.

#include <optional>
#include <string>

namespace GamePages {

struct LaunchOptions {
  std::optional<std::string> host;
  std::optional<std::string> port;
  std::optional<std::string> name;
};

// Throws std::invalid_argument, with one line saying what is wrong, for an
// unknown option, a missing or empty value, or a server without a host or
// port.
LaunchOptions parseLaunchOptions(int argc, const char* const* argv);

} // namespace GamePages

#endif
