#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include <OgreLogManager.h>

#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> configLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Ogre Config: ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> locationNames(const std::string& group) {
  std::vector<std::string> names;
  for (const auto& location : Ogre::ResourceGroupManager::getSingleton().getResourceLocationList(group)) {
    names.push_back(location.archive->getName());
  }
  return names;
}

// The engine's default log, made before the shell so that the shell uses it,
// with every message kept off standard output: the engine's worker threads
// log while the shell starts, and their messages would land inside the
// client's own lines.
class QuietEngineLog : public Ogre::LogListener {
public:
  QuietEngineLog() { m_log->addListener(this); }
  ~QuietEngineLog() override { m_log->removeListener(this); }
  void messageLogged(const Ogre::String&, Ogre::LogMessageLevel, bool, const Ogre::String&,
                     bool& skipThisMessage) override {
    skipThisMessage = true;
  }

private:
  Ogre::LogManager m_logs;
  Ogre::Log* m_log = m_logs.createLog("ShellStartTest.log", true, false, true);
};

void expectNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected) {
  EXPECT_TRUE(actual.positionEquals(expected, 1e-4f)) << actual << " instead of " << expected;
}
}  // namespace

// Sections written Zeta, then Alpha: the engine keeps them sorted by name,
// the unnamed one first, and the keys of a section sorted, equal keys in file
// order.
TEST(ShellStart, RegistersResourceLocationsInTheEnginesSectionOrder) {
  const std::string media = ScratchRunDirectory::mediaDirectory().string();
  ScratchRunDirectory scratch("FileSystem=unnamed\n[Zeta]\nFileSystem=" + media +
                              "\n[Alpha]\nFileSystem=second\nFileSystem=first\n");
  for (const char* folder : {"unnamed", "first", "second"}) {
    fs::create_directory(scratch.path() / folder);
  }
  scratch.enter();

  QuietEngineLog engineLog;
  testing::internal::CaptureStdout();
  TestShell shell;
  const std::vector<std::string> lines = configLines(testing::internal::GetCapturedStdout());

  const std::vector<std::string> expected = {
      "Ogre Config: ::FileSystem,unnamed",
      "Ogre Config: Alpha::FileSystem,second",
      "Ogre Config: Alpha::FileSystem,first",
      "Ogre Config: Zeta::FileSystem," + media,
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(locationNames("Alpha"), (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(locationNames("Zeta"), std::vector<std::string>{media});
  EXPECT_EQ(locationNames(""), std::vector<std::string>{"unnamed"});
}

TEST(ShellStart, OpensTheWindowAndPlacesThePlayerCamera) {
  ScratchRunDirectory scratch;
  scratch.enter();
  TestShell shell;

  expectNear(shell.m_camera->getDerivedPosition(), Ogre::Vector3(10, 10, 50));
  expectNear(shell.m_camera->getDerivedDirection(), Ogre::Vector3(-10, -10, -50).normalisedCopy());
  // Looking at the origin without roll: the camera's right stays horizontal.
  EXPECT_NEAR(shell.m_camera->getDerivedRight().y, 0.0f, 1e-5f);
  EXPECT_FLOAT_EQ(shell.m_camera->getNearClipDistance(), 0.1f);

  Ogre::Viewport* viewport = shell.m_window->getViewport(0);
  EXPECT_EQ(viewport->getCamera(), shell.m_camera);
  EXPECT_EQ(viewport->getActualWidth(), static_cast<int>(shell.m_window->getWidth()));
  EXPECT_EQ(viewport->getBackgroundColour(), Ogre::ColourValue(0, 0, 0, 1));
  EXPECT_FLOAT_EQ(shell.m_camera->getAspectRatio(),
                  float(viewport->getActualWidth()) / float(viewport->getActualHeight()));

  // Without rendering, update only pumps the window messages.
  EXPECT_TRUE(shell.update(false));
  EXPECT_TRUE(shell.update(true));
}
