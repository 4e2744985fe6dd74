#include "ScratchRunDirectory.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchRunDirectory::ScratchRunDirectory()
    : ScratchRunDirectory("[General]\nFileSystem=" + mediaDirectory().string() + "\n") {}

ScratchRunDirectory::ScratchRunDirectory(const std::string& resourcesCfg) {
  std::string pattern = (fs::temp_directory_path() / "ts-render-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    throw std::runtime_error("cannot create " + pattern);
  }
  m_path = pattern;
  for (const char* name : {"plugins.cfg", "ogre.cfg"}) {
    fs::copy_file(clientRunDirectory() / name, m_path / name);
  }
  std::ofstream(m_path / "resources.cfg") << resourcesCfg;
}

ScratchRunDirectory::~ScratchRunDirectory() {
  std::error_code ignored;
  fs::current_path(clientRunDirectory(), ignored);
  fs::remove_all(m_path, ignored);
}

void ScratchRunDirectory::enter() const { fs::current_path(m_path); }

fs::path ScratchRunDirectory::clientRunDirectory() { return TS_RUN_DIR; }

fs::path ScratchRunDirectory::mediaDirectory() { return clientRunDirectory() / "media"; }
