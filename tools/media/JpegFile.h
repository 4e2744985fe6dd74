#ifndef MEDIA_JPEG_FILE_H
#define MEDIA_JPEG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Writes the picture as a baseline JPEG; throws std::runtime_error on failure.
void writeJpeg(const std::string& path, const RgbImage& image, int quality);

#endif
