#ifndef X_WINDOW_ERRORS_H
#define X_WINDOW_ERRORS_H

// Xlib's default error handler ends the process. When another client destroys
// the render window, the engine's and the input library's later requests on
// it fail; those errors are expected and must not end the program.

// Ignores from now on the X errors that report this window (or its drawable)
// as missing; every other error still reaches the previous handler.
void tolerateLossOfWindow(unsigned long window);

#endif
