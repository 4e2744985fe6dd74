#include "server/ServerOptions.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <CLI/CLI.hpp>

#include "ProgramVersion.h"

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

unsigned short toPort(const std::string& option, const std::string& value) {
  return static_cast<unsigned short>(parseInteger(option, value, 0, 65535));
}

using Setter = std::function<void(ServerOptions&, const std::string&, const std::string&)>;

// The options with a value: their names (the first one the option's own),
// what the usage says of the value and of the option, and how the value,
// read once the whole command line is, sets the options.
struct ValueOption {
  const char* names;
  const char* valueName;
  const char* description;
  Setter set;
};

const std::vector<ValueOption>& valueOptions() {
  static const std::vector<ValueOption> options = {
      {"--bind,--host", "ADDRESS", "address to listen on (default 127.0.0.1)",
       [](ServerOptions& o, const std::string&, const std::string& v) { o.host = v; }},
      {"--port", "N", "game port, 0 for any free one (default 25565)",
       [](ServerOptions& o, const std::string& n, const std::string& v) { o.port = toPort(n, v); }},
      {"--seed", "N", "world seed (default 0)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.seed = parseInteger(n, v, std::numeric_limits<long long>::min(),
                               std::numeric_limits<long long>::max());
       }},
      {"--view-radius", "R", "columns around the player: (2R+1)^2, R up to 32 (default 5)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.viewRadius = static_cast<int>(parseInteger(n, v, 0, MaxViewRadius));
       }},
      {"--mobs", "N", "number of mobs, up to 256 (default 6)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.mobs = static_cast<int>(parseInteger(n, v, 0, MaxMobs));
       }},
      {"--http-port", "N", "port of the account endpoints, 0 for any free one (default 25566)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.httpPort = toPort(n, v);
       }},
      {"--user", "NAME", "the account's user name (default player)",
       [](ServerOptions& o, const std::string&, const std::string& v) { o.user = v; }},
      {"--password", "TEXT", "the account's password (default password)",
       [](ServerOptions& o, const std::string&, const std::string& v) { o.password = v; }},
      {"--keepalive-timeout", "SECS",
       "drop a client that leaves a keep-alive unanswered this long (default 30)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.keepAliveTimeout = parseSeconds(n, v);
       }},
      {"--login-timeout", "SECS", "drop a connection that has not logged in by then (default 10)",
       [](ServerOptions& o, const std::string& n, const std::string& v) {
         o.loginTimeout = parseSeconds(n, v);
       }},
  };
  return options;
}

// The parser fills the flags of `options` and, in the order of
// valueOptions(), the values as given.
std::unique_ptr<CLI::App> makeParser(ServerOptions& options, std::vector<std::string>& given) {
  auto parser = std::make_unique<CLI::App>(
      "A local Tessellar world server: generated terrain, wandering mobs, other players.",
      "ts_server");
  parser->set_help_flag();
  parser->add_flag("-h,--help", options.help, "show this text");
  parser->add_flag("--version", options.version, "show the version");
  parser->add_flag("--auth", options.auth,
                   "require account login; serves the login and join endpoints over HTTP");
  parser->add_flag("--once", options.once, "stop when the first player to log in has left");
  given.resize(valueOptions().size());
  for (std::size_t i = 0; i < given.size(); ++i) {
    const ValueOption& option = valueOptions()[i];
    parser->add_option(option.names, given[i], option.description)
        ->type_name(option.valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  parser->allow_extras();
  return parser;
}

std::string optionName(const ValueOption& option) {
  const std::string names = option.names;
  return names.substr(0, names.find(','));
}

} // namespace

ServerOptions parseServerOptions(const std::vector<std::string>& arguments) {
  ServerOptions options;
  std::vector<std::string> given;
  const std::unique_ptr<CLI::App> parser = makeParser(options, given);
  // The parser takes its arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    parser->parse(reversed);
  } catch (const CLI::ParseError& error) {
    throw std::invalid_argument(error.what());
  }
  const std::vector<std::string> unknown = parser->remaining();
  if (!unknown.empty())
    throw std::invalid_argument("unknown option \"" + unknown.front() + "\"");
  if (options.help || options.version)
    return options;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const ValueOption& option = valueOptions()[i];
    if (parser->count(optionName(option)) > 0)
      option.set(options, optionName(option), given[i]);
  }
  if (options.auth && options.user.empty())
    throw std::invalid_argument("--auth needs a non-empty --user");
  return options;
}

std::string serverUsage() {
  ServerOptions options;
  std::vector<std::string> given;
  return makeParser(options, given)->help();
}

std::string serverVersion() { return std::string("ts_server ") + ProgramVersion + "\n"; }

} // namespace Server
