#include "PaintedImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

std::uint8_t toByte(double level) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(level, 0.0, 1.0) * 255.0));
}

} // namespace

RgbImage paintImage(int size, const std::function<Rgb(int x, int y)>& paint) {
  RgbImage picture;
  picture.width = size;
  picture.height = size;
  picture.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 3);
  std::uint8_t* out = picture.pixels.data();
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const Rgb colour = paint(x, y);
      *out++ = toByte(colour.r);
      *out++ = toByte(colour.g);
      *out++ = toByte(colour.b);
    }
  }
  return picture;
}
