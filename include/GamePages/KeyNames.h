#ifndef GAME_PAGES_KEY_NAMES_H
#define GAME_PAGES_KEY_NAMES_H

// Names of the keys that "tessellar.cfg" can bind: letters ("W"), digits
// ("8"), "F1" to "F12", "Space", "LeftShift", "Up", "Numpad4", "Comma" and
// so on; see the table in KeyNames.cpp.

#include <optional>
#include <string>
#include <variant>

#include <OISKeyboard.h>
#include <OISMouse.h>

namespace GamePages {

// The key of a name, compared without regard to case; none for an unknown
// name.
std::optional<OIS::KeyCode> keyOfName(const std::string& name);

// The name of a key as the table spells it; empty for a key without one.
std::string nameOfKey(OIS::KeyCode key);

// A key or a mouse button: what the actions of the hand (digging, placing)
// are bound to.
using ButtonBinding = std::variant<OIS::KeyCode, OIS::MouseButtonID>;

// "MouseLeft", "MouseRight" and "MouseMiddle" (in any case) name the mouse
// buttons; any other name is a key's.
std::optional<ButtonBinding> buttonOfName(const std::string& name);
std::string nameOfButton(const ButtonBinding& button);

} // namespace GamePages

#endif
