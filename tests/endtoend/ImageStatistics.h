#ifndef IMAGE_STATISTICS_H
#define IMAGE_STATISTICS_H

#include <ostream>
#include <string>

// What a screenshot shows, in numbers: how much of it is lit, how much the
// lit part varies, and how many distinct colours cover a fair share of it.
struct ImageStatistics {
  int width = 0;
  int height = 0;
  double litFraction = 0;     // pixels brighter than the black background
  double litLumaStdDev = 0;   // texture and shading among them
  int commonColourBuckets = 0; // coarse colour buckets holding >= 2% of the lit pixels
};

// Throws std::runtime_error when the file is not a readable JPEG.
ImageStatistics jpegStatistics(const std::string& path);

// A fair part of the picture lit, with texture in it and more than one
// colour: terrain drawn, not an empty or flat-coloured view.
bool showsTexturedWorld(const ImageStatistics& stats);

std::ostream& operator<<(std::ostream& out, const ImageStatistics& stats);

#endif
