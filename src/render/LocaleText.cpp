#include "LocaleText.h"

#include <climits>
#include <cwchar>

namespace {

const char32_t Replacement = U'?';

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isCodePoint(char32_t c) { return c < 0x110000 && (c < 0xD800 || c > 0xDFFF); }

} // namespace

std::string localeToUtf8(const std::string& text) {
  return codePointsToUtf8(localeToCodePoints(text));
}

std::u32string localeToCodePoints(const std::string& text) {
  std::u32string out;
  std::mbstate_t state{};
  const char* next = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, next, left, &state);
    if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
      // One byte that starts no character (or an unfinished one at the end).
      out += Replacement;
      state = std::mbstate_t{};
      ++next;
      --left;
      continue;
    }
    const char32_t c = static_cast<char32_t>(wide);
    out += isCodePoint(c) ? c : Replacement;
    const std::size_t length = used == 0 ? 1 : used;
    next += length;
    left -= length;
  }
  return out;
}

std::string codePointsToUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text)
    appendUtf8(out, isCodePoint(c) ? c : Replacement);
  return out;
}

std::string utf8Prefix(const std::string& utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes)
    return utf8;
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
    --end;
  return utf8.substr(0, end);
}

std::string codePointsToLocale(const std::u32string& text) {
  std::string out;
  std::mbstate_t state{};
  char bytes[MB_LEN_MAX];
  for (char32_t c : text) {
    std::size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(c), &state);
    if (length == static_cast<std::size_t>(-1)) {
      state = std::mbstate_t{};
      length = std::wcrtomb(bytes, static_cast<wchar_t>(Replacement), &state);
    }
    out.append(bytes, length);
  }
  return out;
}
