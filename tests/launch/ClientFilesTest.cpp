// Where the client finds its data and settings and puts its log and
// screenshots: a run directory beside the program keeps everything in it, an
// installed client uses the install's data folder and the user's own
// directories.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "RunDirectory.h"
#include "TextFile.h"
#include "files/ClientFiles.h"

namespace {

namespace fs = std::filesystem;
using Files::ClientLayout;
using Files::DataFolder;

// A scratch tree: "run" is a run directory, "prefix" an install whose data
// folder lies where the client looks for it, "links" holds a link to the run
// directory's binary, "bin" is a folder without data.
class ClientFilesTest : public testing::Test {
protected:
  ClientFilesTest() {
    for (const fs::path& folder : {run(), prefix() / "bin", installedData(), links(), bin()})
      fs::create_directories(folder);
    m_root.write("run/ferrowick", "");
    m_root.write("run/resources.cfg", "[General]\nFileSystem=media\n");
    m_root.write("prefix/bin/ferrowick", "");
    write(installedData() / "resources.cfg", "[General]\nFileSystem=media\n");
    write(installedData() / "tessellar.cfg", "[Player]\nName=Example\n");
    fs::create_symlink(run() / "ferrowick", links() / "ferrowick");
  }

  fs::path run() const { return m_root.path() / "run"; }
  fs::path prefix() const { return m_root.path() / "prefix"; }
  fs::path installedData() const { return Files::installedDataFolder(prefix() / "bin"); }
  fs::path links() const { return m_root.path() / "links"; }
  fs::path bin() const { return m_root.path() / "bin"; }
  fs::path home() const { return m_root.path() / "home"; }

  static Files::UserDirectories userOf(const fs::path& home) {
    return {home / ".config", home / ".local/state", home / "Pictures"};
  }
  Files::UserDirectories user() const { return userOf(home()); }

  static void write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
  }

  RunDirectory m_root{};
};

TEST_F(ClientFilesTest, InstalledDataLiesUnderTheInstallsPrefix) {
  EXPECT_EQ(installedData().lexically_relative(prefix()), fs::path("share/ferrowick"));
}

struct Start {
  const char* name;
  // The path the program was started by and the executable; "@" stands for
  // the scratch tree.
  std::string startedAs;
  std::string executable;
  // Expected: the data folder ("" for none) and whether it is a run
  // directory.
  std::string data;
  bool runDirectory;
};

std::string inTree(const std::string& text, const fs::path& root) {
  return text.rfind('@', 0) == 0 ? root.string() + text.substr(1) : text;
}

TEST_F(ClientFilesTest, FindsTheRunDirectoryBesideTheProgramElseTheInstalledData) {
  const std::vector<Start> starts = {
      {"RunDirectory", "@/run/ferrowick", "@/run/ferrowick", "@/run", true},
      {"RunDirectoryThroughItsPath", "ferrowick", "@/run/ferrowick", "@/run", true},
      // A run directory that links the binary keeps its own files.
      {"LinkedBinaryKeepsItsFolder", "@/links/ferrowick", "@/run/ferrowick", "@/run", true},
      {"Installed", "@/prefix/bin/ferrowick", "@/prefix/bin/ferrowick",
       "@/prefix/share/ferrowick", false},
      {"InstalledThroughItsPath", "ferrowick", "@/prefix/bin/ferrowick",
       "@/prefix/share/ferrowick", false},
      {"InstalledBehindALink", "@/bin/ferrowick", "@/prefix/bin/ferrowick",
       "@/prefix/share/ferrowick", false},
      {"NoData", "@/bin/ferrowick", "@/bin/ferrowick", "", false},
  };
  for (const Start& s : starts) {
    SCOPED_TRACE(s.name);
    const std::vector<fs::path> folders = Files::programFolders(
        inTree(s.startedAs, m_root.path()), inTree(s.executable, m_root.path()));
    const std::optional<DataFolder> data = Files::findDataFolder(folders);
    if (s.data.empty()) {
      EXPECT_FALSE(data);
      continue;
    }
    ASSERT_TRUE(data);
    EXPECT_EQ(data->path, fs::path(inTree(s.data, m_root.path())));
    EXPECT_EQ(data->runDirectory, s.runDirectory);
  }
}

TEST_F(ClientFilesTest, ARelativeStartIsTakenFromTheWorkingDirectory) {
  const std::vector<fs::path> folders =
      Files::programFolders("tools/./ferrowick", "/usr/bin/ferrowick");
  EXPECT_EQ(folders, (std::vector<fs::path>{fs::current_path() / "tools", "/usr/bin"}));
}

struct Layout {
  const char* name;
  bool runDirectory;
  bool localSettings; // "tessellar.cfg" in the run directory
  std::optional<std::string> option;
  // Expected; "@" is the data folder, "~" the home.
  std::string settings;
  std::string log;
  std::string screenshots;
  bool fromExample;
};

TEST_F(ClientFilesTest, LaysOutTheFilesOfARunDirectoryAndOfAnInstall) {
  const std::vector<Layout> layouts = {
      {"RunDirectory", true, true, {}, "@/tessellar.cfg", "@/Ogre.log", "@", false},
      {"RunDirectoryWithoutSettings", true, false, {},
       "~/.config/ferrowick/tessellar.cfg", "@/Ogre.log", "@", true},
      {"RunDirectoryWithOption", true, true, "/elsewhere/mine.cfg", "/elsewhere/mine.cfg",
       "@/Ogre.log", "@", false},
      {"Installed", false, false, {}, "~/.config/ferrowick/tessellar.cfg",
       "~/.local/state/ferrowick/Ogre.log", "~/Pictures/ferrowick", true},
      {"InstalledWithOption", false, false, "mine.cfg", "mine.cfg",
       "~/.local/state/ferrowick/Ogre.log", "~/Pictures/ferrowick", false},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.name);
    const fs::path data = l.runDirectory ? run() : installedData();
    std::error_code ignored;
    fs::remove(run() / "tessellar.cfg", ignored);
    if (l.localSettings)
      write(run() / "tessellar.cfg", "");
    auto expected = [&](const std::string& text) {
      if (text.rfind('@', 0) == 0)
        return data.string() + text.substr(1);
      return text.rfind('~', 0) == 0 ? home().string() + text.substr(1) : text;
    };
    const ClientLayout layout = Files::layOutClientFiles({data, l.runDirectory}, user(), l.option);
    EXPECT_EQ(layout.files.settings, expected(l.settings));
    EXPECT_EQ(layout.files.shell.plugins, (data / "plugins.cfg").string());
    EXPECT_EQ(layout.files.shell.engineConfig, (data / "ogre.cfg").string());
    EXPECT_EQ(layout.files.shell.resources, (data / "resources.cfg").string());
    EXPECT_EQ(layout.files.shell.log, expected(l.log));
    EXPECT_EQ(layout.files.shell.screenshots, expected(l.screenshots));
    EXPECT_EQ(layout.example, l.fromExample ? std::optional<fs::path>(data / "tessellar.cfg")
                                            : std::nullopt);
  }
}

// The first start makes the settings from the example and says so; later
// starts keep the player's own changes and say nothing.
TEST_F(ClientFilesTest, MakesTheUsersSettingsOnceFromTheExample) {
  const ClientLayout layout = Files::layOutClientFiles({installedData(), false}, user(), {});
  std::ostringstream first;
  Files::prepareClientFiles(layout, first);
  const fs::path settings = home() / ".config/ferrowick/tessellar.cfg";
  EXPECT_EQ(first.str(), "created the settings file " + settings.string() + " from the example\n");
  EXPECT_EQ(readTextFile(settings), "[Player]\nName=Example\n");
  EXPECT_TRUE(fs::is_directory(home() / ".local/state/ferrowick"));
  EXPECT_FALSE(fs::exists(home() / "Pictures")) << "made before the first screenshot";

  write(settings, "[Player]\nName=Mine\n");
  std::ostringstream second;
  Files::prepareClientFiles(layout, second);
  EXPECT_EQ(second.str(), "");
  EXPECT_EQ(readTextFile(settings), "[Player]\nName=Mine\n");
}

struct Failure {
  const char* name;
  // Spoils the scratch tree; the case's home is its own.
  std::function<void(const fs::path& home)> arrange;
  std::optional<std::string> option;
  std::string message;
};

TEST_F(ClientFilesTest, SaysWhyTheSettingsCannotBeHad) {
  const fs::path absent = m_root.path() / "absent.cfg";
  const std::vector<Failure> failures = {
      {"MissingOption", [](const fs::path&) {}, absent.string(),
       "cannot read the settings file \"" + absent.string() + "\""},
      {"OptionNamesAFolder", [](const fs::path&) {}, m_root.path().string(),
       "cannot read the settings file"},
      {"ConfigIsAFile", [](const fs::path& home) { write(home / ".config", ""); }, {},
       "cannot make the settings folder"},
      {"StateIsAFile", [](const fs::path& home) { write(home / ".local", ""); }, {},
       "cannot make the log folder"},
      {"NoExample", [this](const fs::path&) { fs::remove(installedData() / "tessellar.cfg"); },
       {}, "/tessellar.cfg\": there is no example at \"" +
               (installedData() / "tessellar.cfg").string() + "\""},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    const fs::path home = m_root.path() / f.name;
    fs::create_directories(home);
    f.arrange(home);
    const ClientLayout layout =
        Files::layOutClientFiles({installedData(), false}, userOf(home), f.option);
    std::ostringstream out;
    try {
      Files::prepareClientFiles(layout, out);
      ADD_FAILURE() << "prepared";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(f.message), std::string::npos) << error.what();
    }
    EXPECT_EQ(out.str(), "");
  }
}

} // namespace
