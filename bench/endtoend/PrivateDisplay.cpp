#include "PrivateDisplay.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

const std::chrono::seconds StartLimit(20);
const std::chrono::milliseconds Slice(50);

} // namespace

PrivateDisplay::PrivateDisplay() {
  if (const char* display = std::getenv("DISPLAY"); display && *display) {
    m_description = std::string("the caller's, ") + display;
  } else {
    // -displayfd 1: the server writes its display number on its standard
    // output once it accepts connections.
    m_server = std::make_unique<ChildProcess>(std::vector<std::string>{
        "Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    const auto deadline = std::chrono::steady_clock::now() + StartLimit;
    std::string number;
    while ((number = m_server->standardOutput()).find('\n') == std::string::npos) {
      if (m_server->poll() || std::chrono::steady_clock::now() > deadline)
        throw std::runtime_error("Xvfb did not start: " + m_server->standardError());
      std::this_thread::sleep_for(Slice);
    }
    const std::string name = ":" + number.substr(0, number.find('\n'));
    setenv("DISPLAY", name.c_str(), 1);
    m_description = "private Xvfb " + name;
  }
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
}
