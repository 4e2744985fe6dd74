#ifndef GAME_PAGES_CHAT_INPUT_H
#define GAME_PAGES_CHAT_INPUT_H

// The one-line field the player types a chat message into. While it is
// open, it takes every key.

#include <string>

#include <OISKeyboard.h>

namespace GamePages {

class ChatInput {
public:
  // The server takes at most this many characters of chat.
  static constexpr std::size_t MaxCharacters = 100;

  enum class Outcome { Typing, Send, Cancel };

  bool isOpen() const { return m_open; }
  void open(std::u32string start);

  // Enter closes the field to send it, Escape closes it to cancel,
  // Backspace takes back a character, and every key that types a printable
  // character of the protocol's range adds it while there is room.
  Outcome keyPressed(const OIS::KeyEvent& event);

  const std::u32string& text() const { return m_text; }

private:
  bool m_open = false;
  std::u32string m_text;
};

} // namespace GamePages

#endif
