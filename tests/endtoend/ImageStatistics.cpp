#include "ImageStatistics.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

const int LitLuma = 12;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

ImageStatistics jpegStatistics(const std::string& path) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file)
    throw std::runtime_error("cannot open " + path);
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);

  ImageStatistics stats;
  stats.width = int(info.output_width);
  stats.height = int(info.output_height);
  std::vector<unsigned char> row(info.output_width * 3);
  long lit = 0;
  double sum = 0, sumSquares = 0;
  std::map<int, long> buckets;
  while (info.output_scanline < info.output_height) {
    unsigned char* rows[] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (unsigned x = 0; x < info.output_width; ++x) {
      const int r = row[3 * x], g = row[3 * x + 1], b = row[3 * x + 2];
      const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
      if (luma < LitLuma)
        continue;
      ++lit;
      sum += luma;
      sumSquares += luma * luma;
      ++buckets[(r / 64) * 16 + (g / 64) * 4 + b / 64];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);

  const double pixels = double(stats.width) * stats.height;
  stats.litFraction = pixels > 0 ? lit / pixels : 0;
  if (lit > 0) {
    const double mean = sum / lit;
    stats.litLumaStdDev = std::sqrt(std::max(0.0, sumSquares / lit - mean * mean));
    for (const auto& bucket : buckets)
      if (bucket.second * 50 >= lit)
        ++stats.commonColourBuckets;
  }
  return stats;
}

bool showsTexturedWorld(const ImageStatistics& stats) {
  return stats.litFraction > 0.2 && stats.litLumaStdDev > 8.0 && stats.commonColourBuckets >= 2;
}

std::ostream& operator<<(std::ostream& out, const ImageStatistics& stats) {
  return out << stats.width << " x " << stats.height << ", lit " << stats.litFraction
             << ", lit luma deviation " << stats.litLumaStdDev << ", common colours "
             << stats.commonColourBuckets;
}
