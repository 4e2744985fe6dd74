#include "XWindowCloser.h"

#include <stdexcept>

#include <X11/Xlib.h>

namespace {
template <typename Action>
void withDisplay(Action action) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) throw std::runtime_error("cannot open the X display");
  action(display);
  XSync(display, False);
  XCloseDisplay(display);
}
}  // namespace

void sendDeleteWindowMessage(unsigned long window) {
  withDisplay([window](Display* display) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
  });
}

void destroyWindow(unsigned long window) {
  withDisplay([window](Display* display) { XDestroyWindow(display, window); });
}
