#ifndef SHELL_LISTENER_H
#define SHELL_LISTENER_H

// What the game hears from the render shell: the keys and mouse buttons
// pressed and released, for its commands and the player's hands, and the
// end of the window.

#include <OISKeyboard.h>
#include <OISMouse.h>

class ShellListener {
public:
  // True when the game took the key; otherwise it keeps the shell's meaning
  // (the function keys).
  virtual bool keyPressed(const OIS::KeyEvent& event) = 0;
  virtual void keyReleased(const OIS::KeyEvent& event) = 0;
  virtual void mousePressed(OIS::MouseButtonID button) = 0;
  virtual void mouseReleased(OIS::MouseButtonID button) = 0;
  // The window has gone away: closed by the player or destroyed.
  virtual void windowClosed() = 0;

protected:
  ~ShellListener() = default;
};

#endif
