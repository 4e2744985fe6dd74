// The client binary when it cannot start: one line on standard error saying
// why, and an exit status that says it failed.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "RunDirectory.h"
#include "TextFile.h"

namespace {

// The build's own plug-in list, and one that names a plug-in that is not
// there.
const std::string Plugins = readTextFile(RunDirectory::client() / "plugins.cfg");
const std::string MissingPlugin = Plugins + "Plugin=RenderSystem_Nowhere\n";
const std::string Settings = "[Server]\nHostname=127.0.0.1\nPort=25565\n";

struct StartFailure {
  const char* name;
  std::string plugins;
  // Null: no "tessellar.cfg" at all.
  const char* settings;
  std::vector<std::string> arguments;
  std::map<std::string, std::string> environment;
  // How the last line of standard error begins.
  std::string line;
};

void PrintTo(const StartFailure& failure, std::ostream* out) { *out << failure.name; }

std::string lastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos)
    return "";
  const std::size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

class StartFailures : public testing::TestWithParam<StartFailure> {};

TEST_P(StartFailures, EndTheStartWithOneLineAndAFailureStatus) {
  const StartFailure& c = GetParam();
  RunDirectory directory{"ogre.cfg", "resources.cfg", "media"};
  directory.write("plugins.cfg", c.plugins);
  if (c.settings)
    directory.write("tessellar.cfg", c.settings);
  std::vector<std::string> command = {(RunDirectory::client() / "ferrowick").string()};
  command.insert(command.end(), c.arguments.begin(), c.arguments.end());
  ChildProcess client(command, c.environment, directory.path());
  const int status = exitCode(client.wait(std::chrono::seconds(60)));
  const std::string errors = client.standardError();
  EXPECT_EQ(status, 1) << errors;
  EXPECT_EQ(lastLine(errors).rfind(c.line, 0), 0u) << errors;
  EXPECT_EQ(client.standardOutput().find("attempting to connect"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Client, StartFailures,
    testing::Values(
        StartFailure{"NoDisplay", Plugins, Settings.c_str(), {}, {{"DISPLAY", "unix:4711"}},
                     "OgreException: "},
        StartFailure{"MissingPlugIn", MissingPlugin, Settings.c_str(), {}, {}, "OgreException: "},
        StartFailure{"NoSettingsFile", Plugins, nullptr, {}, {}, "OgreException: "},
        StartFailure{"UnknownKeyName", Plugins, "[Controls]\nForward=Shift\n", {}, {},
                     "fatal: tessellar.cfg: Controls Forward is not a key name: \"Shift\""},
        StartFailure{"UnknownSky", Plugins, "[Graphics]\nSky=purple\n", {}, {},
                     "fatal: tessellar.cfg: Graphics Sky must be day-night or black, not "
                     "\"purple\""},
        StartFailure{"FrameRateNotANumber", Plugins, "[Graphics]\nMaxFrameRate=fast\n", {}, {},
                     "fatal: tessellar.cfg: Graphics MaxFrameRate must be 0 or more frames a "
                     "second, not \"fast\""},
        StartFailure{"ServerWithoutPort", Plugins, Settings.c_str(), {"--server", "nohost"}, {},
                     "fatal: --server needs HOST:PORT, not \"nohost\""}),
    [](const testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

} // namespace
