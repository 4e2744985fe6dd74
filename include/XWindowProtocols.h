#ifndef X_WINDOW_PROTOCOLS_H
#define X_WINDOW_PROTOCOLS_H

// The engine asks for the window-manager close protocol only if its atom
// already exists on the display, which it does not on a display without a
// window manager; the window would then ignore close requests. Creates the
// atoms; call it before the engine's render system starts. Does nothing
// without a display (the engine reports that itself).
void createCloseProtocolAtoms();

#endif
