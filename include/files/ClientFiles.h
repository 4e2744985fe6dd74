#ifndef FILES_CLIENT_FILES_H
#define FILES_CLIENT_FILES_H

// Where the client finds its data and settings and puts its log and
// screenshots, whatever the working directory.
//
// A run directory (the engine's "resources.cfg" beside the program, as the
// build lays out build/run) keeps everything in it: its "tessellar.cfg"
// when there is one, the engine's log and the screenshots. An installed
// client reads its data from the install's data folder, found from where the
// executable is, and the settings from the user's config directory, made
// from the example on the first start; its log goes to the user's state
// directory and its screenshots to the user's pictures folder.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ShellFiles.h"
#include "files/UserDirectories.h"

namespace Files {

struct ClientFiles {
  ShellFiles shell;
  std::string settings = "tessellar.cfg";
};

struct DataFolder {
  std::filesystem::path path;
  // A run directory beside the program, rather than the install's data.
  bool runDirectory = false;
};

// The folders the program may be said to be in: that of the path it was
// started by, links kept (a run directory may link the binary), then that
// of the executable itself.
std::vector<std::filesystem::path> programFolders(const std::string& startedAs,
                                                  const std::filesystem::path& executable);

// The install's data folder for an executable in `programFolder`.
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

// A run directory among the program's folders, else the first of their
// installed data folders that holds "resources.cfg".
std::optional<DataFolder> findDataFolder(const std::vector<std::filesystem::path>& programFolders);

// The files, and the example to make the settings file from when it is
// missing (the user's own settings file only).
struct ClientLayout {
  ClientFiles files;
  std::optional<std::filesystem::path> example;
};

// `settingsFile` is the one the command line names, which wins.
ClientLayout layOutClientFiles(const DataFolder& data, const UserDirectories& user,
                               const std::optional<std::string>& settingsFile);

// Makes the log's folder, and a missing settings file from the example,
// naming it in a line on `out`. Throws std::runtime_error, with one line
// saying why, when the settings cannot be read or made.
void prepareClientFiles(const ClientLayout& layout, std::ostream& out);

// All of the above for this process, started as `startedAs` (its argv[0]).
ClientFiles findClientFiles(const std::string& startedAs,
                            const std::optional<std::string>& settingsFile, std::ostream& out);

} // namespace Files

#endif
