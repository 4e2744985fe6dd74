#ifndef X_WINDOW_CLOSER_H
#define X_WINDOW_CLOSER_H

// Closes another client's window from outside, over a connection of its own:
// the way a window manager asks, or by destroying it outright.
void sendDeleteWindowMessage(unsigned long window);
void destroyWindow(unsigned long window);

#endif
