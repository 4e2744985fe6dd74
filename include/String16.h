#ifndef STRING16_H
#define STRING16_H

// Conversion between the protocol's UCS-2BE text and std::string in the
// process's locale charset (iconv's ""). A character that the other side
// cannot represent becomes "?"; nothing is padded and nothing stops the
// process.

#include <cstddef>
#include <string>

namespace String16 {

// The most code units a string16 length prefix (a signed short) can carry.
constexpr std::size_t MaxUnits = 32767;

// UCS-2BE bytes of the text, cut after at most maxUnits whole characters.
std::string encode(const std::string &text, std::size_t maxUnits = MaxUnits);

// The locale text of `units` big-endian UCS-2 code units starting at data.
std::string decode(const char *data, std::size_t units);

} // namespace String16

#endif
