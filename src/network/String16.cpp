#include "String16.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <iconv.h>
#include <limits>

namespace String16 {

namespace {

const char *const WireCharset = "UCS-2BE";
const char *const LocaleCharset = "";
const char Replacement = '?';
const char ReplacementUnit[2] = {0, Replacement};

// A byte buffer that the converter fills from the front and that grows up to
// a limit.
class Output {
public:
  Output(std::size_t initial, std::size_t limit)
      : m_bytes(std::min(initial, limit), '\0'), m_limit(limit) {}

  char *cursor() { return m_bytes.data() + m_used; }
  std::size_t space() const { return m_bytes.size() - m_used; }
  void advance(std::size_t count) { m_used += count; }

  // False once the limit is reached.
  bool grow() {
    if (m_bytes.size() >= m_limit) {
      return false;
    }
    const std::size_t doubled = std::max(2 * m_bytes.size(), m_bytes.size() + 16);
    m_bytes.resize(std::min(doubled, m_limit));
    return true;
  }

  std::string take() {
    m_bytes.resize(m_used);
    return std::move(m_bytes);
  }

private:
  std::string m_bytes;
  std::size_t m_used = 0;
  std::size_t m_limit;
};

// One iconv descriptor, opened per conversion and always closed.
class Converter {
public:
  Converter(const char *to, const char *from) : m_descriptor(iconv_open(to, from)) {}
  ~Converter() {
    if (isOpen()) {
      iconv_close(m_descriptor);
    }
  }
  Converter(const Converter &) = delete;
  Converter &operator=(const Converter &) = delete;

  bool isOpen() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }

  // Converts the input, growing the output as needed. False, with errno set
  // by iconv, when it stops before the end of the input.
  bool convert(const char *&in, std::size_t &inLeft, Output &output) {
    for (;;) {
      char *inCursor = const_cast<char *>(in);
      char *outCursor = output.cursor();
      std::size_t outLeft = output.space();
      const std::size_t result = iconv(m_descriptor, &inCursor, &inLeft, &outCursor, &outLeft);
      const int error = errno;
      output.advance(output.space() - outLeft);
      in = inCursor;
      if (result != static_cast<std::size_t>(-1)) {
        return true;
      }
      if (error != E2BIG || !output.grow()) {
        errno = error;
        return false;
      }
    }
  }

private:
  iconv_t m_descriptor;
};

// Bytes of the locale character starting at text; a byte that starts no
// valid character counts alone, an unfinished one takes the rest.
std::size_t characterLength(const char *text, std::size_t size) {
  std::mbstate_t state{};
  const std::size_t length = std::mbrlen(text, size, &state);
  if (length == static_cast<std::size_t>(-2)) {
    return size;
  }
  if (length == 0 || length == static_cast<std::size_t>(-1)) {
    return 1;
  }
  return length;
}

unsigned unitAt(const char *data, std::size_t index) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(data) + 2 * index;
  return static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
}

// Without a converter only ASCII is known to be the same on both sides.
std::string encodeAscii(const std::string &text, std::size_t maxUnits) {
  std::string units;
  for (std::size_t i = 0; i < std::min(text.size(), maxUnits); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    units += '\0';
    units += byte < 0x80 ? static_cast<char>(byte) : Replacement;
  }
  return units;
}

std::string decodeAscii(const char *data, std::size_t units) {
  std::string text;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned unit = unitAt(data, i);
    text += unit < 0x80 ? static_cast<char>(unit) : Replacement;
  }
  return text;
}

} // namespace

std::string encode(const std::string &text, std::size_t maxUnits) {
  Converter converter(WireCharset, LocaleCharset);
  if (!converter.isOpen()) {
    return encodeAscii(text, maxUnits);
  }
  Output output(2 * std::min(text.size(), maxUnits), 2 * maxUnits);
  const char *in = text.data();
  std::size_t inLeft = text.size();
  while (!converter.convert(in, inLeft, output)) {
    if (errno == E2BIG || (output.space() < 2 && !output.grow())) {
      break;
    }
    std::copy(ReplacementUnit, ReplacementUnit + 2, output.cursor());
    output.advance(2);
    const std::size_t skipped = characterLength(in, inLeft);
    in += skipped;
    inLeft -= skipped;
  }
  return output.take();
}

std::string decode(const char *data, std::size_t units) {
  Converter converter(LocaleCharset, WireCharset);
  if (!converter.isOpen()) {
    return decodeAscii(data, units);
  }
  // Three bytes hold any code unit in UTF-8; other charsets grow as needed.
  Output output(3 * units, std::numeric_limits<std::size_t>::max());
  const char *in = data;
  std::size_t inLeft = 2 * units;
  while (!converter.convert(in, inLeft, output) && errno == EILSEQ) {
    const char *replacement = ReplacementUnit;
    std::size_t replacementLeft = sizeof ReplacementUnit;
    converter.convert(replacement, replacementLeft, output);
    in += 2;
    inLeft -= 2;
  }
  return output.take();
}

} // namespace String16
