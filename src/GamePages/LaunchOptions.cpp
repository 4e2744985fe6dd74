#include "GamePages/LaunchOptions.h"

#include <CLI/CLI.hpp>

#include "ProgramVersion.h"

namespace GamePages {

namespace {

const char* const Program = "ferrowick";
const char* const HelpHint = "; see \"ferrowick --help\"";

void setServer(LaunchOptions& options, const std::string& address) {
  const std::size_t colon = address.rfind(':');
  std::string host = colon == std::string::npos ? "" : address.substr(0, colon);
  const std::string port = colon == std::string::npos ? "" : address.substr(colon + 1);
  // An IPv6 address comes in brackets, so that its colons are not the port's.
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host.empty() || port.empty())
    throw std::invalid_argument("--server needs HOST:PORT, not \"" + address + "\"");
  options.host = host;
  options.port = port;
}

// The options' values as given, checked once the whole command line is read
// (and not at all when it asks for the usage or the version).
struct GivenValues {
  std::string server;
  std::string name;
  std::string settingsFile;
};

void addValue(CLI::App& parser, const std::string& name, std::string& value,
              const std::string& valueName, const std::string& description) {
  parser.add_option(name, value, description)
      ->type_name(valueName)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// The parser fills `options` and `given`.
std::unique_ptr<CLI::App> makeParser(LaunchOptions& options, GivenValues& given) {
  auto parser =
      std::make_unique<CLI::App>("A 3-D client for Tessellar block-world servers.", Program);
  parser->footer("Nothing connects at the start: in the window, the connect key (\"8\" unless "
                 "the settings\nbind another) connects to the settings' server, the quit key "
                 "(\"0\") ends the game.");
  parser->set_help_flag();
  parser->add_flag("-h,--help", options.help, "print this text and end");
  parser->add_flag("--version", options.version, "print the version and end");
  addValue(*parser, "--server", given.server, "HOST:PORT",
           "the server for this run ([::1]:25565 for IPv6)");
  addValue(*parser, "--name", given.name, "NAME", "the player name for this run");
  addValue(*parser, "--config", given.settingsFile, "FILE",
           "the settings file, in place of ~/.config/ferrowick/tessellar.cfg");
  parser->allow_extras();
  return parser;
}

// The value of an option that was given, which must not be empty.
std::optional<std::string> valueOf(const CLI::App& parser, const std::string& option,
                                   const std::string& value) {
  if (parser.count(option) == 0)
    return std::nullopt;
  if (value.empty())
    throw std::invalid_argument("option " + option + " needs a value");
  return value;
}

} // namespace

LaunchOptions parseLaunchOptions(int argc, const char* const* argv) {
  LaunchOptions options;
  GivenValues given;
  const std::unique_ptr<CLI::App> parser = makeParser(options, given);
  try {
    parser->parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    throw UsageError(std::string(Program) + ": " + error.what() + HelpHint);
  }
  const std::vector<std::string> unknown = parser->remaining();
  if (!unknown.empty())
    throw UsageError(std::string(Program) + ": unknown option \"" + unknown.front() + "\"" +
                     HelpHint);
  if (options.help || options.version)
    return options;
  if (const auto server = valueOf(*parser, "--server", given.server))
    setServer(options, *server);
  options.name = valueOf(*parser, "--name", given.name);
  options.settingsFile = valueOf(*parser, "--config", given.settingsFile);
  return options;
}

std::string launchUsage() {
  LaunchOptions options;
  GivenValues given;
  return makeParser(options, given)->help();
}

std::string launchVersion() { return std::string(Program) + " " + ProgramVersion + "\n"; }

} // namespace GamePages
