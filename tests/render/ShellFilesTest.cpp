// The shell reads the engine's files from wherever it is told, not from the
// working directory, takes relative resource locations from the resource
// list's own folder, and writes its log and screenshots where it is told.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "RunDirectory.h"
#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace fs = std::filesystem;

namespace {

// The engine's files in a folder of their own, with the media beside them and
// a relative location for them; the working directory is an empty folder.
class ShellFilesTest : public testing::Test {
protected:
  ShellFilesTest() {
    m_data.write("resources.cfg", "[General]\nFileSystem=media\n");
    fs::current_path(m_working.path());
  }
  ~ShellFilesTest() override {
    std::error_code ignored;
    fs::current_path(ScratchRunDirectory::clientRunDirectory(), ignored);
  }

  ShellFiles files(const fs::path& screenshots) const {
    ShellFiles files;
    files.plugins = (m_data.path() / "plugins.cfg").string();
    files.engineConfig = (m_data.path() / "ogre.cfg").string();
    files.resources = (m_data.path() / "resources.cfg").string();
    files.log = (m_data.path() / "engine.log").string();
    files.screenshots = screenshots.string();
    return files;
  }

  RunDirectory m_data{"plugins.cfg", "ogre.cfg", "media"};
  RunDirectory m_working{};
};

TEST_F(ShellFilesTest, ReadsAndWritesWhereItIsToldAndMakesTheScreenshotFolder) {
  const fs::path shots = m_data.path() / "pictures" / "ferrowick";
  TestShell shell(files(shots));
  const auto& locations =
      Ogre::ResourceGroupManager::getSingleton().getResourceLocationList("General");
  ASSERT_EQ(locations.size(), 1u);
  EXPECT_EQ(locations.front().archive->getName(), (m_data.path() / "media").string());
  EXPECT_TRUE(fs::is_regular_file(m_data.path() / "engine.log"));

  OutputCapture capture;
  shell.requestScreenshot();
  ASSERT_TRUE(shell.update(true));
  ASSERT_TRUE(fs::is_directory(shots));
  const fs::directory_iterator first(shots);
  ASSERT_NE(first, fs::directory_iterator());
  const fs::path picture = first->path();
  EXPECT_EQ(picture.filename().string().rfind("screenshot", 0), 0u) << picture;
  EXPECT_EQ(picture.extension(), ".jpg");
  EXPECT_TRUE(capture.mentions("screenshot written to " + picture.string()));
  EXPECT_TRUE(fs::is_empty(m_working.path())) << "wrote into the working directory";
}

// A folder that cannot be made costs the screenshot, not the game.
TEST_F(ShellFilesTest, AScreenshotThatCannotBeWrittenIsReportedAndTheGameGoesOn) {
  m_data.write("taken", "a file where the folder would go");
  const fs::path shots = m_data.path() / "taken" / "ferrowick";
  TestShell shell(files(shots));
  OutputCapture capture;
  shell.requestScreenshot();
  EXPECT_TRUE(shell.update(true));
  EXPECT_TRUE(shell.update(true));
  const std::string report = "cannot write a screenshot into " + shots.string() + ": ";
  const std::vector<std::string> errors = capture.err();
  EXPECT_EQ(std::count_if(errors.begin(), errors.end(),
                          [&](const std::string& line) { return line.rfind(report, 0) == 0; }),
            1)
      << testing::PrintToString(errors);
  EXPECT_FALSE(capture.mentions("screenshot written"));
}

} // namespace
