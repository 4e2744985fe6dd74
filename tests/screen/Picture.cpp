#include "Picture.h"

#include <algorithm>
#include <cstdlib>

std::ostream& operator<<(std::ostream& out, const Pixel& pixel) {
  return out << "(" << pixel.r << ", " << pixel.g << ", " << pixel.b << ")";
}

Picture::Picture(Ogre::RenderWindow& window)
    : m_width(static_cast<int>(window.getWidth())), m_height(static_cast<int>(window.getHeight())),
      m_rgb(static_cast<std::size_t>(m_width) * m_height * 3) {
  Ogre::PixelBox box(m_width, m_height, 1, Ogre::PF_BYTE_RGB, m_rgb.data());
  window.copyContentsToMemory(box, box);
}

Pixel Picture::at(int x, int y) const {
  const std::uint8_t* p = &m_rgb[(static_cast<std::size_t>(y) * m_width + x) * 3];
  return {p[0], p[1], p[2]};
}

Pixel Picture::mean(const Area& area) const {
  long sum[3] = {0, 0, 0};
  count(area, [&](const Pixel& p) {
    sum[0] += p.r;
    sum[1] += p.g;
    sum[2] += p.b;
    return true;
  });
  const long pixels = static_cast<long>(area.width) * area.height;
  return {int(sum[0] / pixels), int(sum[1] / pixels), int(sum[2] / pixels)};
}

int Picture::differing(const Picture& other, const Area& area, int threshold) const {
  int found = 0;
  for (int y = area.top; y < area.top + area.height; ++y)
    for (int x = area.left; x < area.left + area.width; ++x) {
      const Pixel a = at(x, y), b = other.at(x, y);
      found += std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) >
               threshold;
    }
  return found;
}
