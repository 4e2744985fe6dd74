#include <gtest/gtest.h>

#include "BlockOutline.h"
#include "ScratchRunDirectory.h"
#include "TestShell.h"

namespace {

// Dark pixels of the last frame, over a white background.
int darkPixels(TestShell& shell) {
  const int width = int(shell.m_window->getWidth());
  const int height = int(shell.m_window->getHeight());
  int dark = 0;
  for (int y = 0; y < height; y += 2)
    for (int x = 0; x < width; x += 2) {
      const TestShell::Pixel pixel = shell.pixelAt(x, y);
      dark += pixel.r < 80 && pixel.g < 80 && pixel.b < 80;
    }
  return dark;
}

// The outline is the cell's edges in front of the camera, and nothing once
// hidden.
TEST(BlockOutline, DrawsTheEdgesOfTheAimedCellUntilHidden) {
  ScratchRunDirectory scratch;
  scratch.enter();
  TestShell shell;
  shell.m_window->getViewport(0)->setBackgroundColour(Ogre::ColourValue::White);
  shell.cameraNode()->setPosition(0.5f, 0.5f, 3.0f);
  shell.setCameraDirection(Ogre::Vector3::NEGATIVE_UNIT_Z);
  BlockOutline outline(shell);

  outline.show(Vox::Vector3DInt32(0, 0, 0));
  ASSERT_TRUE(shell.update(true));
  EXPECT_TRUE(outline.visible());
  const int shown = darkPixels(shell);
  EXPECT_GT(shown, 50);
  // The middle of the cell's face is not drawn on: only its edges are.
  const TestShell::Pixel middle =
      shell.pixelAt(int(shell.m_window->getWidth()) / 2, int(shell.m_window->getHeight()) / 2);
  EXPECT_GT(middle.r, 200);

  outline.show(std::nullopt);
  ASSERT_TRUE(shell.update(true));
  EXPECT_FALSE(outline.visible());
  EXPECT_EQ(darkPixels(shell), 0);
}

} // namespace
