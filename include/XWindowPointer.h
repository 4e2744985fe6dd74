#ifndef X_WINDOW_POINTER_H
#define X_WINDOW_POINTER_H

// The pointer over an X window, asked of the display itself: the input
// library's absolute position only adds up motion, which drifts from where
// the pointer really is once it has left the window and come back.

#include <optional>

struct PointerPosition {
  int x = 0, y = 0;
};

// Where the pointer is, in pixels from the window's top left corner (it may
// lie outside the window); none when the display cannot say.
std::optional<PointerPosition> queryPointer(void* display, unsigned long window);
// Moves the pointer to a place in the window.
void warpPointer(void* display, unsigned long window, PointerPosition position);

#endif
