#include <filesystem>
#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace {

// Another program's window over the whole screen, while the object lives.
class CoveringWindow {
public:
  CoveringWindow() : m_display(XOpenDisplay(nullptr)) {
    if (!m_display)
      throw std::runtime_error("cannot open the X display");
    const int screen = DefaultScreen(m_display);
    m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 0, 0,
                                   unsigned(DisplayWidth(m_display, screen)),
                                   unsigned(DisplayHeight(m_display, screen)), 0, 0, 0);
    XMapRaised(m_display, m_window);
    XSync(m_display, False);
  }
  ~CoveringWindow() {
    XDestroyWindow(m_display, m_window);
    XCloseDisplay(m_display);
  }
  CoveringWindow(const CoveringWindow&) = delete;
  CoveringWindow& operator=(const CoveringWindow&) = delete;

private:
  Display* m_display;
  Window m_window;
};

std::filesystem::path screenshotIn(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("screenshot", 0) == 0 && entry.path().extension() == ".jpg")
      return entry.path();
  }
  return {};
}

Ogre::ColourValue middleOf(const std::filesystem::path& picture) {
  Ogre::Image image;
  image.load(Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(
                 new std::ifstream(picture, std::ios::binary), true)),
             "jpg");
  return image.getColourAt(image.getWidth() / 2, image.getHeight() / 2, 0);
}

// The engine stops drawing a window that is covered; the screenshot key
// still saves the frame of that moment, not the last one shown.
TEST(Screenshot, ShowsTheFrameOfTheMomentAlsoWhenTheWindowIsCovered) {
  ScratchRunDirectory scratch;
  scratch.enter();
  TestShell shell;
  Ogre::Viewport* viewport = shell.m_window->getViewport(0);
  viewport->setBackgroundColour(Ogre::ColourValue::Red);
  ASSERT_TRUE(shell.update(true));

  const CoveringWindow cover;
  ASSERT_TRUE(shell.renderUntil([&] { return !shell.m_window->isActive(); }))
      << "the window never learnt that it is covered";
  viewport->setBackgroundColour(Ogre::ColourValue::Green);
  ASSERT_TRUE(shell.update(true));

  shell.requestScreenshot();
  ASSERT_TRUE(shell.update(true));
  const std::filesystem::path picture = screenshotIn(scratch.path());
  ASSERT_FALSE(picture.empty());
  const Ogre::ColourValue middle = middleOf(picture);
  EXPECT_GT(middle.g, 0.8f) << middle;
  EXPECT_LT(middle.r, 0.2f) << middle;
  EXPECT_FALSE(shell.m_window->isActive()) << "still covered: the frames after go undrawn";
}

} // namespace
