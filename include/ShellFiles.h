#ifndef SHELL_FILES_H
#define SHELL_FILES_H

// Where the render shell reads the engine's configuration and writes its log
// and screenshots. The defaults are names in the working directory, which
// is how the shell's tests lay out their own directories.

#include <string>

struct ShellFiles {
  // The plug-in list; a relative "PluginFolder" in it is taken from the
  // list's own folder.
  std::string plugins = "plugins.cfg";
  // The render system's settings.
  std::string engineConfig = "ogre.cfg";
  // Resource locations; relative ones are taken from this file's folder.
  std::string resources = "resources.cfg";
  std::string log = "Ogre.log";
  // The folder of the screenshots, made on the first one; empty for the
  // working directory.
  std::string screenshots;
};

#endif
