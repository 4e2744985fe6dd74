#ifndef GAME_PAGES_LAUNCH_OPTIONS_H
#define GAME_PAGES_LAUNCH_OPTIONS_H

// The client's command line:
//   --server HOST:PORT   the server to connect to ("[::1]:25565" for IPv6)
//   --name NAME          the player name
//   --config FILE        the settings file to read in place of the usual one
//   --help, --version    print the usage or the version and end
// Each option with a value may also be written as --option=value. The
// server and the name override "tessellar.cfg" for one run.

#include <optional>
#include <stdexcept>
#include <string>

namespace GamePages {

struct LaunchOptions {
  std::optional<std::string> host;
  std::optional<std::string> port;
  std::optional<std::string> name;
  std::optional<std::string> settingsFile;
  bool help = false;
  bool version = false;
};

// A command line the client cannot read at all: an option it does not know,
// an argument that is no option, an option without its value. The start ends
// with the one line of what() and the exit status 2.
class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Throws UsageError as above, and std::invalid_argument, with one line
// saying what is wrong, for a value the client cannot use: an empty one, or a
// server without a host or port.
LaunchOptions parseLaunchOptions(int argc, const char* const* argv);

// The --help text and the --version line, each ending in a line end.
std::string launchUsage();
std::string launchVersion();

} // namespace GamePages

#endif
