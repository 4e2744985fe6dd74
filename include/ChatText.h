#ifndef CHAT_TEXT_H
#define CHAT_TEXT_H

// Chat text carries colour codes: the section sign followed by one
// character. "0" to "9" and "a" to "f" (either case) choose one of sixteen
// colours until the next code, "r" returns to the default colour, and every
// other code (the formatting codes among them) is dropped without effect.

#include <string>
#include <vector>

struct ChatSegment {
  std::string text;
  // 0 to 15, or -1 for the default colour.
  int colour = -1;
};

// The UTF-8 text in runs of one colour, codes removed; no run is empty.
std::vector<ChatSegment> chatSegments(const std::string& utf8);

// The UTF-8 text without its colour codes.
std::string withoutColourCodes(const std::string& utf8);

// The colour of a code, as 8-bit red, green and blue packed into 0xRRGGBB.
unsigned int chatColour(int colour);

#endif
