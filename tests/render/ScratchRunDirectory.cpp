#include "ScratchRunDirectory.h"

namespace fs = std::filesystem;

ScratchRunDirectory::ScratchRunDirectory()
    : ScratchRunDirectory("[General]\nFileSystem=" + mediaDirectory().string() + "\n") {}

ScratchRunDirectory::ScratchRunDirectory(const std::string& resourcesCfg) {
  m_directory.write("resources.cfg", resourcesCfg);
}

ScratchRunDirectory::~ScratchRunDirectory() {
  std::error_code ignored;
  fs::current_path(clientRunDirectory(), ignored);
}

void ScratchRunDirectory::enter() const { fs::current_path(path()); }

fs::path ScratchRunDirectory::clientRunDirectory() { return RunDirectory::client(); }

fs::path ScratchRunDirectory::mediaDirectory() { return clientRunDirectory() / "media"; }
