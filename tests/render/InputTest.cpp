#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace {
class Input : public testing::Test {
protected:
  void SetUp() override { scratch.enter(); }

  OIS::MouseState motion(int x, int y) {
    OIS::MouseState state;
    state.X.rel = x;
    state.Y.rel = y;
    return state;
  }

  void expectSameDirection(const Ogre::Vector3& actual, const Ogre::Vector3& expected) {
    EXPECT_TRUE(actual.positionEquals(expected, 1e-5f)) << actual << " instead of " << expected;
  }

  ScratchRunDirectory scratch;
  TestShell shell;
};

void xdotool(const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"xdotool"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ChildProcess tool(command);
  ASSERT_EQ(exitCode(tool.wait(std::chrono::seconds(10))), 0) << tool.standardError();
}

// Renders until the motion of the pointer's move to the centre has arrived
// and the camera has stopped turning.
void settleCamera(TestShell& shell) {
  for (int round = 0; round < 50; ++round) {
    const Ogre::Vector3 before = shell.camera()->getDerivedDirection();
    shell.renderUntil([] { return false; }, std::chrono::milliseconds(100));
    if (shell.camera()->getDerivedDirection().positionEquals(before, 1e-6f)) return;
  }
}

// A time-stamped "screenshot...jpg" that holds a JPEG picture.
bool screenshotExists(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("screenshot", 0) != 0 || entry.path().extension() != ".jpg") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    char start[3] = {};
    file.read(start, 3);
    return start[0] == '\xFF' && start[1] == '\xD8' && start[2] == '\xFF';
  }
  return false;
}
}  // namespace

TEST_F(Input, MouseMotionAimsThroughTheShiftedViewportPoint) {
  Ogre::Camera* camera = shell.camera();
  const Ogre::Vector3 start = camera->getDerivedDirection();
  shell.mouseMoved(OIS::MouseEvent(nullptr, motion(0, 0)));
  expectSameDirection(camera->getDerivedDirection(), start);

  const Ogre::Vector3 aim = camera->getCameraToViewportRay(0.7f, 0.5f).getDirection();
  shell.mouseMoved(OIS::MouseEvent(nullptr, motion(50, 0)));
  expectSameDirection(camera->getDerivedDirection(), aim);

  const Ogre::Vector3 level = camera->getDerivedDirection();
  shell.mouseMoved(OIS::MouseEvent(nullptr, motion(0, 10)));
  EXPECT_LT(camera->getDerivedDirection().y, level.y);  // moving down looks down
  EXPECT_NEAR(camera->getDerivedRight().y, 0.0f, 1e-5f);  // and never rolls
}

TEST_F(Input, FunctionKeysChangeFilteringAndPolygonMode) {
  struct Case {
    OIS::KeyCode key;
    Ogre::FilterOptions magnification;
    Ogre::FilterOptions mipmaps;
    unsigned int anisotropy;
    Ogre::PolygonMode polygons;
  };
  // Each key changes its own setting; the others keep what the keys before set.
  const Case cases[] = {
      {OIS::KC_F1, Ogre::FO_LINEAR, Ogre::FO_LINEAR, 1, Ogre::PM_SOLID},
      {OIS::KC_F2, Ogre::FO_ANISOTROPIC, Ogre::FO_LINEAR, 8, Ogre::PM_SOLID},
      {OIS::KC_F3, Ogre::FO_POINT, Ogre::FO_NONE, 1, Ogre::PM_SOLID},
      {OIS::KC_F4, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_SOLID},
      {OIS::KC_F5, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_WIREFRAME},
      {OIS::KC_F6, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_POINTS},
      {OIS::KC_F7, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_SOLID},
      {OIS::KC_F8, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_SOLID},
      {OIS::KC_A, Ogre::FO_LINEAR, Ogre::FO_POINT, 1, Ogre::PM_SOLID},
  };
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key);
    EXPECT_TRUE(shell.keyPressed(OIS::KeyEvent(nullptr, c.key, 0)));
    EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MAG), c.magnification);
    EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIP), c.mipmaps);
    EXPECT_EQ(materials.getDefaultAnisotropy(), c.anisotropy);
    EXPECT_EQ(shell.camera()->getPolygonMode(), c.polygons);
  }
}

// Real devices: keys, the screenshot key and mouse look arrive through the
// grabbed keyboard and mouse while frames are rendered.
TEST_F(Input, KeysAndMouseFromOutsideReachTheShell) {
  ASSERT_TRUE(shell.update(true));
  const std::string window = std::to_string(shell.windowHandle());
  xdotool({"mousemove", "--window", window, "400", "300"});
  settleCamera(shell);

  xdotool({"keydown", "w"});
  EXPECT_TRUE(shell.renderUntil([&] { return shell.isKeyDown(OIS::KC_W); }));
  xdotool({"keyup", "w"});
  EXPECT_TRUE(shell.renderUntil([&] { return !shell.isKeyDown(OIS::KC_W); }));

  xdotool({"key", "F9"});
  EXPECT_TRUE(shell.renderUntil([&] { return screenshotExists(scratch.path()); }));

  const Ogre::Vector3 before = shell.camera()->getDerivedDirection();
  const Ogre::Vector3 right = shell.camera()->getDerivedRight();
  xdotool({"mousemove_relative", "--", "40", "0"});
  EXPECT_TRUE(shell.renderUntil([&] { return !shell.camera()->getDerivedDirection().positionEquals(before, 1e-4f); }));
  const Ogre::Vector3 after = shell.camera()->getDerivedDirection();
  EXPECT_GT((after - before).dotProduct(right), 0.01f) << before << " to " << after;
  EXPECT_NEAR(after.y, before.y, 0.01f);
}
