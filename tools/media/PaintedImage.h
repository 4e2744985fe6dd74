#ifndef MEDIA_PAINTED_IMAGE_H
#define MEDIA_PAINTED_IMAGE_H

// Square pictures painted texel by texel from a colour function, the way
// the generated terrain and player pictures are made.

#include <functional>

#include "JpegFile.h"

// A colour with levels from 0 to 1; painting clamps what lies outside.
struct Rgb {
  double r, g, b;
};

// A size x size picture whose texel at column x, row y (from the top) is
// paint(x, y).
RgbImage paintImage(int size, const std::function<Rgb(int x, int y)>& paint);

#endif
