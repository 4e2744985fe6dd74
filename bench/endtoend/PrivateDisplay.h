#ifndef BENCH_ENDTOEND_PRIVATE_DISPLAY_H
#define BENCH_ENDTOEND_PRIVATE_DISPLAY_H

#include <memory>
#include <string>

#include "ChildProcess.h"

// The display the client opens: the caller's, or without one a private Xvfb
// (software OpenGL, as in the project's test runs) that lives as long as this
// object. Sets DISPLAY and LIBGL_ALWAYS_SOFTWARE for the processes started
// afterwards.
class PrivateDisplay {
public:
  PrivateDisplay();

  // "caller's :0" or "private Xvfb :5", for the report.
  const std::string& description() const { return m_description; }

private:
  std::unique_ptr<ChildProcess> m_server;
  std::string m_description;
};

#endif
