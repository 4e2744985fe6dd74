// Judges a screenshot by its pixel statistics, as the end-to-end tests do:
// exit status 0 when it shows a textured world, 1 when it does not, 2 when it
// cannot be read. Used by scripts/test.sh on the run command's screenshot.

#include <exception>
#include <iostream>

#include "ImageStatistics.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " screenshot.jpg" << std::endl;
    return 2;
  }
  try {
    const ImageStatistics stats = jpegStatistics(argv[1]);
    const bool textured = showsTexturedWorld(stats);
    std::cout << argv[1] << ": " << stats << (textured ? "" : ": no textured world") << std::endl;
    return textured ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << error.what() << std::endl;
    return 2;
  }
}
