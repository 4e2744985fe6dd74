// The user's directories from the environment, as the XDG conventions have
// them, and from the user directories file.

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "RunDirectory.h"
#include "files/UserDirectories.h"

namespace {

namespace fs = std::filesystem;
using Files::UserEnvironment;

struct Case {
  const char* name;
  // XDG_CONFIG_HOME, XDG_STATE_HOME, XDG_PICTURES_DIR; a leading "~" stands
  // for the case's home.
  std::optional<std::string> configHome, stateHome, picturesDir;
  // "user-dirs.dirs" in the config directory, when not empty.
  std::string userDirs;
  std::string config, state, pictures;
};

std::string inHome(const std::string& text, const fs::path& home) {
  return text.rfind('~', 0) == 0 ? home.string() + text.substr(1) : text;
}

std::optional<std::string> inHome(const std::optional<std::string>& text, const fs::path& home) {
  return text ? std::optional<std::string>(inHome(*text, home)) : std::nullopt;
}

TEST(UserDirectories, FollowTheVariablesElseTheHomesDefaults) {
  const std::vector<Case> cases = {
      {"HomeOnly", {}, {}, {}, "", "~/.config", "~/.local/state", "~/Pictures"},
      {"Variables", "~/xdg/config", "/xdg/state", "/xdg/pictures", "", "~/xdg/config",
       "/xdg/state", "/xdg/pictures"},
      {"RelativeVariablesPassedOver", "config", "state", "pictures", "", "~/.config",
       "~/.local/state", "~/Pictures"},
      {"PicturesOfUserDirs", {}, {}, {},
       "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
       "~/.config", "~/.local/state", "~/Bilder"},
      {"UserDirsOfTheConfigVariable", "~/xdg/config", {}, {},
       "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n", "~/xdg/config", "~/.local/state", "~/Fotos"},
      {"AbsolutePicturesOfUserDirs", {}, {}, {}, "XDG_PICTURES_DIR=\"/srv/pictures\"\n",
       "~/.config", "~/.local/state", "/srv/pictures"},
      {"PicturesDisabledInUserDirs", {}, {}, {}, "XDG_PICTURES_DIR=\"$HOME\"\n", "~/.config",
       "~/.local/state", "~"},
      {"UnusablePicturesOfUserDirs", {}, {}, {}, "XDG_PICTURES_DIR=\"pictures\"\n", "~/.config",
       "~/.local/state", "~/Pictures"},
      // Only the start of the file is read.
      {"UserDirsReadAsFarAsItsStart", {}, {}, {},
       "# " + std::string(70 * 1024, 'x') + "\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "~/.config",
       "~/.local/state", "~/Pictures"},
      {"VariableBeatsUserDirs", {}, {}, "/xdg/pictures", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
       "~/.config", "~/.local/state", "/xdg/pictures"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunDirectory home{};
    const UserEnvironment environment{home.path().string(), inHome(c.configHome, home.path()),
                                      inHome(c.stateHome, home.path()),
                                      inHome(c.picturesDir, home.path())};
    const fs::path config = inHome(c.config, home.path());
    if (!c.userDirs.empty()) {
      fs::create_directories(config);
      home.write(fs::relative(config / "user-dirs.dirs", home.path()), c.userDirs);
    }
    const Files::UserDirectories directories = Files::userDirectories(environment);
    EXPECT_EQ(directories.config, config);
    EXPECT_EQ(directories.state, inHome(c.state, home.path()));
    EXPECT_EQ(directories.pictures, inHome(c.pictures, home.path()));
  }
}

TEST(UserDirectories, NeedAnAbsoluteHome) {
  for (const std::optional<std::string>& home :
       {std::optional<std::string>(), std::optional<std::string>("relative/home")}) {
    UserEnvironment environment;
    environment.home = home;
    environment.configHome = "/xdg/config";
    EXPECT_THROW(Files::userDirectories(environment), std::runtime_error);
  }
}

} // namespace
