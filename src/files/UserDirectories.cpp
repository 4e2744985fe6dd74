#include "files/UserDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace Files {

namespace {

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value)
    return std::nullopt;
  return std::string(value);
}

std::optional<fs::path> absolute(const std::optional<std::string>& value) {
  if (!value || !fs::path(*value).is_absolute())
    return std::nullopt;
  return fs::path(*value);
}

// The user directories file is a few lines; reading stops after this many
// bytes, so that whatever lies there cannot make the client allocate without
// bound.
constexpr std::size_t MaxUserDirsBytes = 64 * 1024;

std::string readStart(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text(MaxUserDirsBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

// A value in double quotes, as the user directories file writes it.
std::string unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

} // namespace

UserEnvironment UserEnvironment::ofProcess() {
  UserEnvironment environment;
  environment.home = variable("HOME");
  if (!environment.home) {
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
      environment.home = std::string(entry->pw_dir);
  }
  environment.configHome = variable("XDG_CONFIG_HOME");
  environment.stateHome = variable("XDG_STATE_HOME");
  environment.picturesDir = variable("XDG_PICTURES_DIR");
  return environment;
}

std::optional<fs::path> picturesInUserDirs(const std::string& text, const fs::path& home) {
  std::istringstream lines(text);
  const std::string key = "XDG_PICTURES_DIR=";
  std::optional<fs::path> pictures;
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, key.size(), key) != 0)
      continue;
    const std::string value = unquoted(line.substr(key.size()));
    if (value == "$HOME")
      pictures = home;
    else if (value.compare(0, 6, "$HOME/") == 0)
      pictures = home / value.substr(6);
    else if (fs::path(value).is_absolute())
      pictures = fs::path(value);
  }
  return pictures;
}

UserDirectories userDirectories(const UserEnvironment& environment) {
  const std::optional<fs::path> home = absolute(environment.home);
  if (!home)
    throw std::runtime_error("cannot find the home directory: HOME is not an absolute path");
  UserDirectories directories;
  directories.config = absolute(environment.configHome).value_or(*home / ".config");
  directories.state = absolute(environment.stateHome).value_or(*home / ".local" / "state");
  if (const std::optional<fs::path> pictures = absolute(environment.picturesDir))
    directories.pictures = *pictures;
  else
    directories.pictures =
        picturesInUserDirs(readStart(directories.config / "user-dirs.dirs"), *home)
            .value_or(*home / "Pictures");
  return directories;
}

} // namespace Files
