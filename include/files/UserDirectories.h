#ifndef FILES_USER_DIRECTORIES_H
#define FILES_USER_DIRECTORIES_H

// The user's own directories, after the XDG base directory and user
// directory conventions: settings, state (logs) and pictures.

#include <filesystem>
#include <optional>
#include <string>

namespace Files {

// The environment those directories follow; unset variables are empty.
struct UserEnvironment {
  std::optional<std::string> home;
  std::optional<std::string> configHome;  // XDG_CONFIG_HOME
  std::optional<std::string> stateHome;   // XDG_STATE_HOME
  std::optional<std::string> picturesDir; // XDG_PICTURES_DIR

  // This process's variables; without HOME, the home of the password
  // database.
  static UserEnvironment ofProcess();
};

struct UserDirectories {
  std::filesystem::path config;
  std::filesystem::path state;
  std::filesystem::path pictures;
};

// XDG_CONFIG_HOME (else ~/.config), XDG_STATE_HOME (else ~/.local/state),
// XDG_PICTURES_DIR, else the pictures folder of "user-dirs.dirs" in the
// config directory (read as far as its first 64 KiB), else ~/Pictures. A variable that is not an absolute path
// is passed over, as the conventions ask. Throws std::runtime_error when
// there is no absolute home to start from.
UserDirectories userDirectories(const UserEnvironment& environment);

// The pictures folder that a "user-dirs.dirs" text names: "$HOME/..." or an
// absolute path in quotes. Nothing when it names none.
std::optional<std::filesystem::path> picturesInUserDirs(const std::string& text,
                                                        const std::filesystem::path& home);

} // namespace Files

#endif
