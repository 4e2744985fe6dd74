#ifndef GAME_PAGES_CONTROL_LAYOUT_H
#define GAME_PAGES_CONTROL_LAYOUT_H

#include <array>
#include <string>

#include <OISKeyboard.h>

namespace GamePages {

// Movement bindings in order: forward, back, right, left, jump, and a sixth
// code kept with the layout.
using MovementKeys = std::array<OIS::KeyCode, 6>;

enum MovementBinding { Forward = 0, Back = 1, Right = 2, Left = 3, Jump = 4 };

// "neo2" and "wasd" (exact, case-sensitive); any other name: the arrow keys.
MovementKeys controlLayout(const std::string& name);

} // namespace GamePages

#endif
