#ifndef LOCALE_TEXT_H
#define LOCALE_TEXT_H

// Conversions between the locale's character set (the protocol's strings in
// memory), UTF-8 (what the display draws) and code points (what the
// keyboard types). A character the target cannot hold, or a byte sequence
// that is no character, becomes "?".

#include <string>

std::string localeToUtf8(const std::string& text);
std::u32string localeToCodePoints(const std::string& text);
std::string codePointsToUtf8(const std::u32string& text);
std::string codePointsToLocale(const std::u32string& text);

// The UTF-8 text cut to at most the given bytes, at a character's start.
std::string utf8Prefix(const std::string& utf8, std::size_t maxBytes);

#endif
