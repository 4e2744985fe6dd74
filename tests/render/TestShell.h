#ifndef TEST_SHELL_H
#define TEST_SHELL_H

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "MyOgre.h"

// The render shell with its window and scene open to the tests.
class TestShell : public MyOgre {
public:
  using MyOgre::MyOgre;
  using MyOgre::createInputSystem;
  using MyOgre::m_camera;
  using MyOgre::m_root;
  using MyOgre::m_sceneManager;
  using MyOgre::m_window;

  unsigned long windowHandle() const;

  // Renders frames until the condition holds or the limit has passed;
  // returns whether it held.
  bool renderUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds limit = std::chrono::seconds(20));

  // The pixel in the last rendered frame, 8-bit RGB.
  struct Pixel {
    int r, g, b;
  };
  Pixel pixelAt(int x, int y);
  // Mean colour of a rectangle of the window.
  Pixel meanColour(int left, int top, int width, int height);
};

std::ostream& operator<<(std::ostream& out, const TestShell::Pixel& pixel);

#endif
