#include "server/ServerOptions.h"

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>

namespace Server {

namespace {

long long parseInteger(const std::string& option, const std::string& text, long long low,
                       long long high) {
  std::size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < low || value > high) {
    std::ostringstream message;
    message << option << " needs a whole number from " << low << " to " << high << ", not \""
            << text << "\"";
    throw std::invalid_argument(message.str());
  }
  return value;
}

std::chrono::milliseconds parseSeconds(const std::string& option, const std::string& text) {
  std::size_t used = 0;
  double seconds = 0;
  try {
    seconds = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || !std::isfinite(seconds) || seconds < 0.05 ||
      seconds > 86400) {
    throw std::invalid_argument(option + " needs a number of seconds from 0.05 to 86400, not \"" +
                                text + "\"");
  }
  return std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
}

using Setter = std::function<void(ServerOptions&, const std::string&, const std::string&)>;

unsigned short toPort(const std::string& option, const std::string& value) {
  return static_cast<unsigned short>(parseInteger(option, value, 0, 65535));
}

const std::map<std::string, Setter>& valueOptions() {
  static const std::map<std::string, Setter> options = {
      {"--bind", [](ServerOptions& o, const std::string&, const std::string& v) { o.host = v; }},
      {"--host", [](ServerOptions& o, const std::string&, const std::string& v) { o.host = v; }},
      {"--port",
       [](ServerOptions& o, const std::string& n, const std::string& v) { o.port = toPort(n, v); }},
      {"--seed",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.seed = parseInteger(n, v, std::numeric_limits<long long>::min(),
                               std::numeric_limits<long long>::max());
       }},
      {"--view-radius",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.viewRadius = static_cast<int>(parseInteger(n, v, 0, MaxViewRadius));
       }},
      {"--mobs",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.mobs = static_cast<int>(parseInteger(n, v, 0, MaxMobs));
       }},
      {"--http-port", [](ServerOptions& o, const std::string& n,
                         const std::string& v) { o.httpPort = toPort(n, v); }},
      {"--user", [](ServerOptions& o, const std::string&, const std::string& v) { o.user = v; }},
      {"--password",
       [](ServerOptions& o, const std::string&, const std::string& v) { o.password = v; }},
      {"--keepalive-timeout",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.keepAliveTimeout = parseSeconds(n, v);
       }},
      {"--login-timeout", [](ServerOptions& o, const std::string& n,
                             const std::string& v) { o.loginTimeout = parseSeconds(n, v); }},
  };
  return options;
}

} // namespace

ServerOptions parseServerOptions(const std::vector<std::string>& arguments) {
  ServerOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::string value;
    bool hasValue = false;
    const std::size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--auth") {
      options.auth = true;
      continue;
    }
    if (name == "--once") {
      options.once = true;
      continue;
    }
    const auto option = valueOptions().find(name);
    if (option == valueOptions().end())
      throw std::invalid_argument("unknown option \"" + name + "\"");
    if (!hasValue) {
      if (i + 1 >= arguments.size())
        throw std::invalid_argument(name + " needs a value");
      value = arguments[++i];
    }
    option->second(options, name, value);
  }
  if (options.auth && options.user.empty())
    throw std::invalid_argument("--auth needs a non-empty --user");
  return options;
}

std::string serverUsage() {
  return "Usage: ts_server [options]\n"
         "A local Tessellar world server: generated terrain, wandering mobs, other players.\n"
         "\n"
         "  --bind ADDRESS            address to listen on (default 127.0.0.1; also --host)\n"
         "  --port N                  game port, 0 for any free one (default 25565)\n"
         "  --seed N                  world seed (default 0)\n"
         "  --view-radius R           columns around the player: (2R+1)^2, R up to 32 (default 5)\n"
         "  --mobs N                  number of mobs, up to 256 (default 6)\n"
         "  --auth                    require account login; serves the login and join\n"
         "                            endpoints over HTTP\n"
         "  --http-port N             port of the account endpoints, 0 for any free one\n"
         "                            (default 25566)\n"
         "  --user NAME               the account's user name (default player)\n"
         "  --password TEXT           the account's password (default password)\n"
         "  --keepalive-timeout SECS  drop a client that leaves a keep-alive unanswered this\n"
         "                            long (default 30)\n"
         "  --login-timeout SECS      drop a connection that has not logged in by then\n"
         "                            (default 10)\n"
         "  --once                    stop when the first player to log in has left\n"
         "  --help                    show this text\n";
}

} // namespace Server
