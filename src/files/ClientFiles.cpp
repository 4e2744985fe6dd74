#include "files/ClientFiles.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace Files {

namespace {

const char* const ProgramName = "ferrowick";
const char* const Resources = "resources.cfg";
const char* const Settings = "tessellar.cfg";

bool holdsResources(const fs::path& folder) {
  std::error_code ignored;
  return fs::is_regular_file(folder / Resources, ignored);
}

bool isReadableFile(const fs::path& file) {
  std::error_code ignored;
  return fs::is_regular_file(file, ignored) && std::ifstream(file).good();
}

std::string quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

void makeFolder(const fs::path& folder, const std::string& purpose) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error)
    throw std::runtime_error("cannot make the " + purpose + " folder " + quoted(folder) + ": " +
                             error.message());
}

void makeSettingsFromExample(const fs::path& settings, const fs::path& example,
                             std::ostream& out) {
  if (!isReadableFile(example))
    throw std::runtime_error("cannot make the settings file " + quoted(settings) +
                             ": there is no example at " + quoted(example));
  makeFolder(settings.parent_path(), "settings");
  std::error_code error;
  fs::copy_file(example, settings, error);
  if (error)
    throw std::runtime_error("cannot make the settings file " + quoted(settings) + ": " +
                             error.message());
  out << "created the settings file " << settings.string() << " from the example" << std::endl;
}

} // namespace

std::vector<fs::path> programFolders(const std::string& startedAs, const fs::path& executable) {
  std::vector<fs::path> folders;
  std::error_code ignored;
  if (startedAs.find('/') != std::string::npos)
    folders.push_back(fs::absolute(startedAs, ignored).lexically_normal().parent_path());
  const fs::path own = executable.parent_path();
  if (!own.empty() && std::find(folders.begin(), folders.end(), own) == folders.end())
    folders.push_back(own);
  return folders;
}

fs::path installedDataFolder(const fs::path& programFolder) {
  return (programFolder / TS_DATA_FROM_PROGRAM).lexically_normal();
}

std::optional<DataFolder> findDataFolder(const std::vector<fs::path>& programFolders) {
  for (const fs::path& folder : programFolders)
    if (holdsResources(folder))
      return DataFolder{folder, true};
  for (const fs::path& folder : programFolders)
    if (holdsResources(installedDataFolder(folder)))
      return DataFolder{installedDataFolder(folder), false};
  return std::nullopt;
}

ClientLayout layOutClientFiles(const DataFolder& data, const UserDirectories& user,
                               const std::optional<std::string>& settingsFile) {
  ClientLayout layout;
  ShellFiles& shell = layout.files.shell;
  shell.plugins = (data.path / "plugins.cfg").string();
  shell.engineConfig = (data.path / "ogre.cfg").string();
  shell.resources = (data.path / Resources).string();
  if (data.runDirectory) {
    shell.log = (data.path / "Ogre.log").string();
    shell.screenshots = data.path.string();
  } else {
    shell.log = (user.state / ProgramName / "Ogre.log").string();
    shell.screenshots = (user.pictures / ProgramName).string();
  }
  if (settingsFile) {
    layout.files.settings = *settingsFile;
  } else if (data.runDirectory && fs::exists(data.path / Settings)) {
    layout.files.settings = (data.path / Settings).string();
  } else {
    layout.files.settings = (user.config / ProgramName / Settings).string();
    layout.example = data.path / Settings;
  }
  return layout;
}

void prepareClientFiles(const ClientLayout& layout, std::ostream& out) {
  makeFolder(fs::path(layout.files.shell.log).parent_path(), "log");
  const fs::path settings = layout.files.settings;
  std::error_code ignored;
  if (layout.example && !fs::exists(settings, ignored))
    makeSettingsFromExample(settings, *layout.example, out);
  if (!isReadableFile(settings))
    throw std::runtime_error("cannot read the settings file " + quoted(settings));
}

ClientFiles findClientFiles(const std::string& startedAs,
                            const std::optional<std::string>& settingsFile, std::ostream& out) {
  std::error_code ignored;
  const std::vector<fs::path> folders =
      programFolders(startedAs, fs::read_symlink("/proc/self/exe", ignored));
  const std::optional<DataFolder> data = findDataFolder(folders);
  if (!data) {
    std::string places;
    for (const fs::path& folder : folders)
      places += " or " + quoted(installedDataFolder(folder));
    throw std::runtime_error("cannot find the client's data: no \"resources.cfg\" beside the "
                             "program" + places);
  }
  const ClientLayout layout =
      layOutClientFiles(*data, userDirectories(UserEnvironment::ofProcess()), settingsFile);
  prepareClientFiles(layout, out);
  return layout.files;
}

} // namespace Files
