// The client's command line as the parser reads it: what each option sets,
// and the two kinds of refusal, a command line that cannot be read (exit
// status 2) and a value that cannot be used (a start failure).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GamePages/LaunchOptions.h"

namespace {

using GamePages::LaunchOptions;

LaunchOptions launch(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "ferrowick");
  return GamePages::parseLaunchOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(LaunchOptions, NothingGivenOverridesNothing) {
  const LaunchOptions none = launch({});
  EXPECT_FALSE(none.host || none.port || none.name || none.settingsFile);
  EXPECT_FALSE(none.help || none.version);
}

TEST(LaunchOptions, ReadsEachOptionInBothSpellings) {
  const LaunchOptions all = launch({"--server", "play.example.org:25566", "--name=Carol",
                                    "--config", "/tmp/other settings.cfg"});
  EXPECT_EQ(all.host, "play.example.org");
  EXPECT_EQ(all.port, "25566");
  EXPECT_EQ(all.name, "Carol");
  EXPECT_EQ(all.settingsFile, "/tmp/other settings.cfg");

  const LaunchOptions v6 = launch({"--server=[2001:db8::7]:25565", "--config=x.cfg"});
  EXPECT_EQ(v6.host, "2001:db8::7");
  EXPECT_EQ(v6.port, "25565");
  EXPECT_EQ(v6.settingsFile, "x.cfg");

  // The last of an option given twice wins, as it did before.
  EXPECT_EQ(launch({"--name", "Ann", "--name", "Bob"}).name, "Bob");
  EXPECT_TRUE(launch({"--help"}).help);
  EXPECT_TRUE(launch({"-h"}).help);
  EXPECT_TRUE(launch({"--version"}).version);
}

struct Refusal {
  std::vector<const char*> arguments;
  bool usage; // UsageError, else std::invalid_argument
  std::string message;
};

TEST(LaunchOptions, RefusesWhatItCannotReadOrUse) {
  const std::vector<Refusal> cases = {
      {{"--port", "1"}, true, "ferrowick: unknown option \"--port\"; see \"ferrowick --help\""},
      {{"localhost"}, true, "ferrowick: unknown option \"localhost\""},
      {{"--name", "Ann", "-x"}, true, "ferrowick: unknown option \"-x\""},
      {{"--server"}, true, "ferrowick: --server: 1 required HOST:PORT missing"},
      {{"--config"}, true, "ferrowick: --config: 1 required FILE missing"},
      {{"--name="}, true, "ferrowick: --name: 1 required NAME missing"},
      {{"--name", ""}, false, "option --name needs a value"},
      {{"--server", "localhost"}, false, "--server needs HOST:PORT, not \"localhost\""},
      {{"--server", ":25565"}, false, "--server needs HOST:PORT"},
      {{"--server", "localhost:"}, false, "--server needs HOST:PORT"},
      {{"--server", "[]:25565"}, false, "--server needs HOST:PORT"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    try {
      launch(c.arguments);
      ADD_FAILURE() << "accepted";
    } catch (const GamePages::UsageError& error) {
      EXPECT_TRUE(c.usage) << error.what();
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    } catch (const std::invalid_argument& error) {
      EXPECT_FALSE(c.usage) << error.what();
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
  }
}

TEST(LaunchOptions, UsageNamesEveryOptionAndVersionTheProgram) {
  const std::string usage = GamePages::launchUsage();
  for (const char* option : {"--server HOST:PORT", "--name NAME", "--config FILE", "--help",
                             "--version"})
    EXPECT_NE(usage.find(option), std::string::npos) << option << " in\n" << usage;
  EXPECT_EQ(GamePages::launchVersion().rfind("ferrowick ", 0), 0u);
  EXPECT_EQ(GamePages::launchVersion().back(), '\n');
}

} // namespace
