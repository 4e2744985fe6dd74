// The client binary when it cannot start: one line on standard error saying
// why, and an exit status that says it failed. Each case runs the client
// from a run directory of its own, with a home of its own.

#include <gtest/gtest.h>

#include <filesystem>
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
const std::string UsersSettings = "home/.config/ferrowick/tessellar.cfg";

struct StartFailure {
  const char* name;
  std::string plugins;
  // Files of the run directory by their paths in it; without a
  // "tessellar.cfg" the client turns to the home's.
  std::map<std::string, std::string> files;
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
  RunDirectory directory{"ogre.cfg", "resources.cfg", "media", "ferrowick"};
  directory.write("plugins.cfg", c.plugins);
  std::filesystem::create_directory(directory.path() / "home");
  for (const auto& [path, text] : c.files) {
    std::filesystem::create_directories((directory.path() / path).parent_path());
    directory.write(path, text);
  }
  std::vector<std::string> command = {(directory.path() / "ferrowick").string()};
  command.insert(command.end(), c.arguments.begin(), c.arguments.end());
  std::map<std::string, std::string> environment = {
      {"HOME", (directory.path() / "home").string()}, {"XDG_CONFIG_HOME", ""}};
  for (const auto& [name, value] : c.environment)
    environment[name] = value;
  ChildProcess client(command, environment, directory.path());
  const int status = exitCode(client.wait(std::chrono::seconds(60)));
  const std::string errors = client.standardError();
  EXPECT_EQ(status, 1) << errors;
  EXPECT_EQ(lastLine(errors).rfind(c.line, 0), 0u) << errors;
  EXPECT_EQ(client.standardOutput().find("attempting to connect"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Client, StartFailures,
    testing::Values(
        StartFailure{"NoDisplay", Plugins, {{"tessellar.cfg", Settings}}, {},
                     {{"DISPLAY", "unix:4711"}}, "OgreException: "},
        StartFailure{"MissingPlugIn", MissingPlugin, {{"tessellar.cfg", Settings}}, {}, {},
                     "OgreException: "},
        // Neither the run directory nor the home has settings, and this run
        // directory has no example to make the home's from.
        StartFailure{"NoSettingsFile", Plugins, {}, {}, {},
                     "fatal: cannot make the settings file \""},
        StartFailure{"UnknownKeyName", Plugins, {{"tessellar.cfg", "[Controls]\nForward=Shift\n"}},
                     {}, {}, "fatal: tessellar.cfg: Controls Forward is not a key name: \"Shift\""},
        StartFailure{"UnknownSky", Plugins, {{"tessellar.cfg", "[Graphics]\nSky=purple\n"}}, {}, {},
                     "fatal: tessellar.cfg: Graphics Sky must be day-night or black, not "
                     "\"purple\""},
        StartFailure{"FrameRateNotANumber", Plugins,
                     {{"tessellar.cfg", "[Graphics]\nMaxFrameRate=fast\n"}}, {}, {},
                     "fatal: tessellar.cfg: Graphics MaxFrameRate must be 0 or more frames a "
                     "second, not \"fast\""},
        // The home's settings are read when the run directory has none.
        StartFailure{"UsersSettings", Plugins, {{UsersSettings, "[Graphics]\nSky=purple\n"}}, {},
                     {}, "fatal: tessellar.cfg: Graphics Sky must be day-night or black"},
        // "--config" wins over the run directory's settings.
        StartFailure{"ConfigOption", Plugins,
                     {{"tessellar.cfg", Settings}, {"other.cfg", "[Graphics]\nSky=purple\n"}},
                     {"--config", "other.cfg"}, {},
                     "fatal: tessellar.cfg: Graphics Sky must be day-night or black"},
        StartFailure{"ServerWithoutPort", Plugins, {{"tessellar.cfg", Settings}},
                     {"--server", "nohost"}, {},
                     "fatal: --server needs HOST:PORT, not \"nohost\""}),
    [](const testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

} // namespace
