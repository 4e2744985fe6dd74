#include "XWindowProtocols.h"

#include <X11/Xlib.h>

void createCloseProtocolAtoms() {
  // Stays open: a display server resets when its last client disconnects and
  // forgets its atoms, which happens here before the engine connects.
  static Display* const display = XOpenDisplay(nullptr);
  if (!display) {
    return;
  }
  XInternAtom(display, "WM_PROTOCOLS", False);
  XInternAtom(display, "WM_DELETE_WINDOW", False);
  XFlush(display);
}
