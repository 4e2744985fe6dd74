#include "JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>

namespace {
// libjpeg ends the process on errors unless its handler jumps back out.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf back;
  char text[JMSG_LENGTH_MAX];
};

void jumpBack(j_common_ptr info) {
  ErrorManager* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->text);
  std::longjmp(errors->back, 1);
}

// Returns an empty text on success, libjpeg's message otherwise.
std::string compress(std::FILE* file, const RgbImage& image, int quality) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = jumpBack;
  if (setjmp(errors.back)) {
    jpeg_destroy_compress(&info);
    return errors.text;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + info.next_scanline * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return "";
}
}  // namespace

void writeJpeg(const std::string& path, const RgbImage& image, int quality) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    throw std::runtime_error("cannot write " + path);
  }
  const std::string failure = compress(file, image, quality);
  const bool closed = std::fclose(file) == 0;
  if (!failure.empty()) {
    throw std::runtime_error(path + ": " + failure);
  }
  if (!closed) {
    throw std::runtime_error("cannot write " + path);
  }
}
