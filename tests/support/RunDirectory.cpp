#include "RunDirectory.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

RunDirectory::RunDirectory(std::initializer_list<const char*> linkedEntries) {
  std::string pattern = (fs::temp_directory_path() / "ferrowick-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create " + pattern);
  m_path = pattern;
  for (const char* name : linkedEntries)
    fs::create_symlink(client() / name, m_path / name);
}

RunDirectory::~RunDirectory() {
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

void RunDirectory::write(const std::string& name, const std::string& text) const {
  std::ofstream(m_path / name) << text;
}

fs::path RunDirectory::client() { return TS_RUN_DIR; }
