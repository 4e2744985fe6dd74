#include "GamePages/LaunchOptions.h"

#include <stdexcept>

namespace GamePages {

namespace {

const char* const Usage = "the options are --server HOST:PORT and --name NAME";

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

void setOption(LaunchOptions& options, const std::string& option, const std::string& value) {
  if (value.empty())
    throw std::invalid_argument("option " + option + " needs a value; " + Usage);
  if (option == "--server")
    setServer(options, value);
  else
    options.name = value;
}

} // namespace

LaunchOptions parseLaunchOptions(int argc, const char* const* argv) {
  LaunchOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::size_t equals = argument.find('=');
    const std::string option = argument.substr(0, equals);
    if (option != "--server" && option != "--name")
      throw std::invalid_argument("unknown option \"" + argument + "\"; " + Usage);
    if (equals != std::string::npos)
      setOption(options, option, argument.substr(equals + 1));
    else
      setOption(options, option, i + 1 < argc ? argv[++i] : "");
  }
  return options;
}

} // namespace GamePages
