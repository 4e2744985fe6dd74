#ifndef RUN_DIRECTORY_H
#define RUN_DIRECTORY_H

#include <filesystem>
#include <initializer_list>
#include <string>

// A private working directory for the client or its pieces under test: links
// to chosen entries of the build's run directory (configuration files, media,
// the binary) and files written by the test; removed with the object.
class RunDirectory {
public:
  explicit RunDirectory(std::initializer_list<const char*> linkedEntries);
  ~RunDirectory();
  RunDirectory(const RunDirectory&) = delete;
  RunDirectory& operator=(const RunDirectory&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  void write(const std::string& name, const std::string& text) const;

  // The build's run directory.
  static std::filesystem::path client();

private:
  std::filesystem::path m_path;
};

#endif
