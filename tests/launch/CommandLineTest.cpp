// The client binary's answers to command lines that end the start before any
// window: the usage, the version, and the refusals, each with its exit
// status. The display is made unusable, so that none of these can need one.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "RunDirectory.h"

namespace {

struct Command {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  // How standard output and standard error begin; an empty expectation
  // means that stream stays empty.
  std::string out;
  std::string err;
};

void PrintTo(const Command& command, std::ostream* out) { *out << command.name; }

class CommandLines : public testing::TestWithParam<Command> {};

TEST_P(CommandLines, AnswerWithoutAWindow) {
  const Command& c = GetParam();
  std::vector<std::string> command = {(RunDirectory::client() / "ferrowick").string()};
  command.insert(command.end(), c.arguments.begin(), c.arguments.end());
  ChildProcess client(command, {{"DISPLAY", "unix:4711"}});
  EXPECT_EQ(exitCode(client.wait(std::chrono::seconds(60))), c.status);
  const std::string out = client.standardOutput();
  const std::string err = client.standardError();
  EXPECT_EQ(out.rfind(c.out, 0), 0u) << out;
  EXPECT_EQ(err.rfind(c.err, 0), 0u) << err;
  if (c.out.empty()) {
    EXPECT_EQ(out, "");
  }
  // A refusal is one line.
  if (c.err.empty()) {
    EXPECT_EQ(err, "");
  } else {
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Client, CommandLines,
    testing::Values(
        Command{"Help", {"--help"}, 0, "A 3-D client for Tessellar block-world servers.", ""},
        Command{"Version", {"--version"}, 0, "ferrowick 0.", ""},
        Command{"HelpBeforeAnythingElse", {"--server", "nohost", "--help"}, 0,
                "A 3-D client for Tessellar block-world servers.", ""},
        Command{"UnknownOption", {"--frobnicate"}, 2, "",
                "ferrowick: unknown option \"--frobnicate\"; see \"ferrowick --help\"\n"},
        Command{"ArgumentThatIsNoOption", {"127.0.0.1:25565"}, 2, "",
                "ferrowick: unknown option \"127.0.0.1:25565\""},
        Command{"MissingValue", {"--config"}, 2, "", "ferrowick: --config: 1 required FILE"},
        Command{"BadServer", {"--server", "nohost"}, 1, "",
                "fatal: --server needs HOST:PORT, not \"nohost\"\n"},
        Command{"MissingSettingsFile", {"--config", "/nonexistent/tessellar.cfg"}, 1, "",
                "fatal: cannot read the settings file \"/nonexistent/tessellar.cfg\"\n"}),
    [](const testing::TestParamInfo<Command>& info) { return std::string(info.param.name); });

} // namespace
