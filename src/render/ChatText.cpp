#include "ChatText.h"

#include <array>
#include <cctype>

namespace {

// The section sign in UTF-8.
const std::string SectionSign = "\xC2\xA7";

const std::array<unsigned int, 16> Palette = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xFFAA00, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

// Bytes of the UTF-8 character starting at index; at least one.
std::size_t characterLength(const std::string& text, std::size_t index) {
  std::size_t length = 1;
  while (index + length < text.size() &&
         (static_cast<unsigned char>(text[index + length]) & 0xC0) == 0x80)
    ++length;
  return length;
}

// The colour a code selects: 0 to 15, -1 for the default, or the current
// colour for codes without a colour.
int colourOfCode(const std::string& code, int current) {
  if (code.size() != 1)
    return current;
  const int c = std::tolower(static_cast<unsigned char>(code[0]));
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return c == 'r' ? -1 : current;
}

void append(std::vector<ChatSegment>& segments, std::string& text, int colour) {
  if (!text.empty())
    segments.push_back({text, colour});
  text.clear();
}

} // namespace

std::vector<ChatSegment> chatSegments(const std::string& utf8) {
  std::vector<ChatSegment> segments;
  std::string text;
  int colour = -1;
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (utf8.compare(i, SectionSign.size(), SectionSign) != 0) {
      const std::size_t length = characterLength(utf8, i);
      text.append(utf8, i, length);
      i += length;
      continue;
    }
    i += SectionSign.size();
    const std::size_t length = i < utf8.size() ? characterLength(utf8, i) : 0;
    const int next = colourOfCode(utf8.substr(i, length), colour);
    i += length;
    if (next != colour) {
      append(segments, text, colour);
      colour = next;
    }
  }
  append(segments, text, colour);
  return segments;
}

std::string withoutColourCodes(const std::string& utf8) {
  std::string text;
  for (const ChatSegment& segment : chatSegments(utf8))
    text += segment.text;
  return text;
}

unsigned int chatColour(int colour) {
  if (colour < 0 || colour >= static_cast<int>(Palette.size()))
    return 0xFFFFFF;
  return Palette[static_cast<std::size_t>(colour)];
}
