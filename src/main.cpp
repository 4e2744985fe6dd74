#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "FatalError.h"
#include "GamePages/LaunchOptions.h"
#include "GamePages/Tessellar.h"
#include "RunGame.h"
#include "files/ClientFiles.h"

namespace {

// The command line, or the exit status when it asks for no game: 0 after
// the usage or the version, 2 for a command line that cannot be read, 1 for
// a value that cannot be used.
std::optional<int> readCommandLine(int argc, char** argv, GamePages::LaunchOptions& options) {
  try {
    options = GamePages::parseLaunchOptions(argc, argv);
  } catch (const GamePages::UsageError& error) {
    std::cerr << error.what() << std::endl;
    return 2;
  } catch (...) {
    const FatalError error = describeCurrentException();
    std::cerr << error.message << std::endl;
    return error.exitStatus;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? GamePages::launchUsage() : GamePages::launchVersion())
              << std::flush;
    return 0;
  }
  return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
  GamePages::LaunchOptions options;
  if (const std::optional<int> status = readCommandLine(argc, argv, options))
    return *status;
  const std::string startedAs = argc > 0 && argv[0] ? argv[0] : "";
  return runGame([&options, &startedAs] {
    const Files::ClientFiles files =
        Files::findClientFiles(startedAs, options.settingsFile, std::cout);
    return std::unique_ptr<GamePage>(new GamePages::Tessellar(options, files));
  });
}
