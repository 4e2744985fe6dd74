#ifndef TEXT_FILE_H
#define TEXT_FILE_H

#include <filesystem>
#include <string>

// The whole file as text; empty when it cannot be read.
std::string readTextFile(const std::filesystem::path& path);

#endif
