#include "GamePages/ChatInput.h"

#include <utility>

namespace GamePages {

namespace {

// Protocol strings are UCS-2: one unit per character, no control codes.
bool isTypeable(char32_t c) {
  return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && !(c >= 0xD800 && c <= 0xDFFF) &&
         c <= 0xFFFF;
}

} // namespace

void ChatInput::open(std::u32string start) {
  m_open = true;
  m_text = std::move(start);
}

ChatInput::Outcome ChatInput::keyPressed(const OIS::KeyEvent& event) {
  switch (event.key) {
  case OIS::KC_RETURN:
  case OIS::KC_NUMPADENTER:
    m_open = false;
    return Outcome::Send;
  case OIS::KC_ESCAPE:
    m_open = false;
    m_text.clear();
    return Outcome::Cancel;
  case OIS::KC_BACK:
    if (!m_text.empty())
      m_text.pop_back();
    return Outcome::Typing;
  default:
    if (isTypeable(event.text) && m_text.size() < MaxCharacters)
      m_text += static_cast<char32_t>(event.text);
    return Outcome::Typing;
  }
}

} // namespace GamePages
