#ifndef GAME_PAGES_KEY_NAMES_H
#define GAME_PAGES_KEY_NAMES_H

// Names of the keys that "tessellar.cfg" can bind: letters ("W"), digits
// ("8"), "F1" to "F12", "Space", "LeftShift", "Up", "Numpad4", "Comma" and
// so on; see the table in KeyNames.cpp.

#include <optional>
#include <string>

#include <OISKeyboard.h>

namespace GamePages {

// The key of a name, compared without regard to case; none for an unknown
// name.
std::optional<OIS::KeyCode> keyOfName(const std::string& name);

// The name of a key as the table spells it; empty for a key without one.
std::string nameOfKey(OIS::KeyCode key);

} // namespace GamePages

#endif
