#ifndef SCRATCH_RUN_DIRECTORY_H
#define SCRATCH_RUN_DIRECTORY_H

#include <filesystem>
#include <string>

#include "RunDirectory.h"

// A private working directory for one test: the engine's configuration from
// the client's run directory, resource locations pointing at its media folder
// (or the given "resources.cfg" text), removed again with the object.
class ScratchRunDirectory {
public:
  ScratchRunDirectory();
  explicit ScratchRunDirectory(const std::string& resourcesCfg);
  ~ScratchRunDirectory();

  ScratchRunDirectory(const ScratchRunDirectory&) = delete;
  ScratchRunDirectory& operator=(const ScratchRunDirectory&) = delete;

  const std::filesystem::path& path() const { return m_directory.path(); }
  // Makes it this process's working directory.
  void enter() const;

  static std::filesystem::path clientRunDirectory();
  static std::filesystem::path mediaDirectory();

private:
  RunDirectory m_directory{"plugins.cfg", "ogre.cfg"};
};

#endif
