#include "XWindowErrors.h"

#include <atomic>

#include <X11/Xlib.h>

namespace {
std::atomic<unsigned long> g_window{0};
XErrorHandler g_previousHandler = nullptr;

// Core errors that mean "no such window"; extension errors (GLX) come with
// codes from 128 up.
bool reportsMissingWindow(const XErrorEvent& error) {
  return error.error_code == BadWindow || error.error_code == BadDrawable ||
         error.error_code >= 128;
}

int filterError(Display* display, XErrorEvent* error) {
  if (error->resourceid == g_window.load() && reportsMissingWindow(*error)) {
    return 0;
  }
  return g_previousHandler ? g_previousHandler(display, error) : 0;
}
}  // namespace

void tolerateLossOfWindow(unsigned long window) {
  g_window = window;
  if (!g_previousHandler) {
    g_previousHandler = XSetErrorHandler(filterError);
  }
}
