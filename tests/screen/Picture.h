#ifndef SCREEN_PICTURE_H
#define SCREEN_PICTURE_H

// What a window shows, as pixels.

#include <cstdint>
#include <ostream>
#include <vector>

#include <OgreRenderWindow.h>

struct Pixel {
  int r, g, b;
};
std::ostream& operator<<(std::ostream& out, const Pixel& pixel);

struct Area {
  int left, top, width, height;
};

// One frame of the window, 8-bit RGB.
class Picture {
public:
  explicit Picture(Ogre::RenderWindow& window);

  Pixel at(int x, int y) const;
  Pixel mean(const Area& area) const;
  // Pixels of the area that differ from the other picture's by more than
  // the threshold in some channel.
  int differing(const Picture& other, const Area& area, int threshold = 24) const;
  // Pixels of the area for which the test holds.
  template <class Test> int count(const Area& area, Test test) const {
    int found = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
      for (int x = area.left; x < area.left + area.width; ++x)
        found += test(at(x, y)) ? 1 : 0;
    return found;
  }

  int width() const { return m_width; }
  int height() const { return m_height; }

private:
  int m_width;
  int m_height;
  std::vector<std::uint8_t> m_rgb;
};

#endif
