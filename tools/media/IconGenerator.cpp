// Writes the program's icon into the file named by the one argument.

#include <fstream>
#include <iostream>

#include "ProgramIcon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " ICON_FILE" << std::endl;
    return 2;
  }
  std::ofstream file(argv[1], std::ios::binary);
  file << programIconSvg();
  file.close();
  if (!file) {
    std::cerr << argv[0] << ": cannot write " << argv[1] << std::endl;
    return 1;
  }
  return 0;
}
