#include "GamePages/KeyNames.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace GamePages {

namespace {

using OIS::KeyCode;

const std::pair<const char*, KeyCode> KeyTable[] = {
    {"A", OIS::KC_A}, {"B", OIS::KC_B}, {"C", OIS::KC_C}, {"D", OIS::KC_D}, {"E", OIS::KC_E},
    {"F", OIS::KC_F}, {"G", OIS::KC_G}, {"H", OIS::KC_H}, {"I", OIS::KC_I}, {"J", OIS::KC_J},
    {"K", OIS::KC_K}, {"L", OIS::KC_L}, {"M", OIS::KC_M}, {"N", OIS::KC_N}, {"O", OIS::KC_O},
    {"P", OIS::KC_P}, {"Q", OIS::KC_Q}, {"R", OIS::KC_R}, {"S", OIS::KC_S}, {"T", OIS::KC_T},
    {"U", OIS::KC_U}, {"V", OIS::KC_V}, {"W", OIS::KC_W}, {"X", OIS::KC_X}, {"Y", OIS::KC_Y},
    {"Z", OIS::KC_Z},
    {"0", OIS::KC_0}, {"1", OIS::KC_1}, {"2", OIS::KC_2}, {"3", OIS::KC_3}, {"4", OIS::KC_4},
    {"5", OIS::KC_5}, {"6", OIS::KC_6}, {"7", OIS::KC_7}, {"8", OIS::KC_8}, {"9", OIS::KC_9},
    {"F1", OIS::KC_F1}, {"F2", OIS::KC_F2}, {"F3", OIS::KC_F3}, {"F4", OIS::KC_F4},
    {"F5", OIS::KC_F5}, {"F6", OIS::KC_F6}, {"F7", OIS::KC_F7}, {"F8", OIS::KC_F8},
    {"F9", OIS::KC_F9}, {"F10", OIS::KC_F10}, {"F11", OIS::KC_F11}, {"F12", OIS::KC_F12},
    {"Space", OIS::KC_SPACE}, {"Tab", OIS::KC_TAB}, {"Enter", OIS::KC_RETURN},
    {"Escape", OIS::KC_ESCAPE}, {"Backspace", OIS::KC_BACK}, {"CapsLock", OIS::KC_CAPITAL},
    {"LeftShift", OIS::KC_LSHIFT}, {"RightShift", OIS::KC_RSHIFT},
    {"LeftControl", OIS::KC_LCONTROL}, {"RightControl", OIS::KC_RCONTROL},
    {"LeftAlt", OIS::KC_LMENU}, {"RightAlt", OIS::KC_RMENU},
    {"Up", OIS::KC_UP}, {"Down", OIS::KC_DOWN}, {"Left", OIS::KC_LEFT}, {"Right", OIS::KC_RIGHT},
    {"Insert", OIS::KC_INSERT}, {"Delete", OIS::KC_DELETE}, {"Home", OIS::KC_HOME},
    {"End", OIS::KC_END}, {"PageUp", OIS::KC_PGUP}, {"PageDown", OIS::KC_PGDOWN},
    {"Minus", OIS::KC_MINUS}, {"Equals", OIS::KC_EQUALS}, {"LeftBracket", OIS::KC_LBRACKET},
    {"RightBracket", OIS::KC_RBRACKET}, {"Semicolon", OIS::KC_SEMICOLON},
    {"Apostrophe", OIS::KC_APOSTROPHE}, {"Grave", OIS::KC_GRAVE},
    {"Backslash", OIS::KC_BACKSLASH}, {"Comma", OIS::KC_COMMA}, {"Period", OIS::KC_PERIOD},
    {"Slash", OIS::KC_SLASH},
    {"Numpad0", OIS::KC_NUMPAD0}, {"Numpad1", OIS::KC_NUMPAD1}, {"Numpad2", OIS::KC_NUMPAD2},
    {"Numpad3", OIS::KC_NUMPAD3}, {"Numpad4", OIS::KC_NUMPAD4}, {"Numpad5", OIS::KC_NUMPAD5},
    {"Numpad6", OIS::KC_NUMPAD6}, {"Numpad7", OIS::KC_NUMPAD7}, {"Numpad8", OIS::KC_NUMPAD8},
    {"Numpad9", OIS::KC_NUMPAD9}, {"NumpadEnter", OIS::KC_NUMPADENTER},
    {"NumpadAdd", OIS::KC_ADD}, {"NumpadSubtract", OIS::KC_SUBTRACT},
    {"NumpadMultiply", OIS::KC_MULTIPLY}, {"NumpadDivide", OIS::KC_DIVIDE},
    {"NumpadDecimal", OIS::KC_DECIMAL},
};

const std::pair<const char*, OIS::MouseButtonID> MouseTable[] = {
    {"MouseLeft", OIS::MB_Left}, {"MouseRight", OIS::MB_Right}, {"MouseMiddle", OIS::MB_Middle}};

bool sameIgnoringCase(const std::string& a, const char* b) {
  const std::string other(b);
  return std::equal(a.begin(), a.end(), other.begin(), other.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

} // namespace

std::optional<OIS::KeyCode> keyOfName(const std::string& name) {
  for (const auto& [keyName, key] : KeyTable)
    if (sameIgnoringCase(name, keyName))
      return key;
  return std::nullopt;
}

std::optional<ButtonBinding> buttonOfName(const std::string& name) {
  for (const auto& [buttonName, button] : MouseTable)
    if (sameIgnoringCase(name, buttonName))
      return button;
  if (const std::optional<OIS::KeyCode> key = keyOfName(name))
    return *key;
  return std::nullopt;
}

std::string nameOfButton(const ButtonBinding& button) {
  if (const auto* key = std::get_if<OIS::KeyCode>(&button))
    return nameOfKey(*key);
  for (const auto& [buttonName, code] : MouseTable)
    if (code == std::get<OIS::MouseButtonID>(button))
      return buttonName;
  return "";
}

std::string nameOfKey(OIS::KeyCode key) {
  for (const auto& [keyName, code] : KeyTable)
    if (code == key)
      return keyName;
  return "";
}

} // namespace GamePages
