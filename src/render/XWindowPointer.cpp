#include "XWindowPointer.h"

#include <X11/Xlib.h>

std::optional<PointerPosition> queryPointer(void* display, unsigned long window) {
  if (!display || !window)
    return std::nullopt;
  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(static_cast<Display*>(display), window, &root, &child, &rootX, &rootY, &x,
                     &y, &buttons))
    return std::nullopt;
  return PointerPosition{x, y};
}

void warpPointer(void* display, unsigned long window, PointerPosition position) {
  if (!display || !window)
    return;
  XWarpPointer(static_cast<Display*>(display), 0, window, 0, 0, 0, 0, position.x, position.y);
  XFlush(static_cast<Display*>(display));
}
