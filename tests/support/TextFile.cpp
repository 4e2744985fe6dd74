#include "TextFile.h"

#include <fstream>
#include <sstream>

std::string readTextFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
