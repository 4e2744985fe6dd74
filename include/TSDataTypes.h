#ifndef TS_DATA_TYPES_H
#define TS_DATA_TYPES_H

// Readers and writers of the protocol's wire types. Readers take exactly the
// bytes of one value from the connected socket (blocking); writers append one
// value to a stream. All numbers are big-endian on the wire.
//
// Lengths and counts come from the wire: a negative one fails with
// std::bad_alloc, a large one grows memory only as its bytes arrive.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <asio.hpp>

namespace TSDataTypes {

using Socket = asio::ip::tcp::socket;

signed char parseByte(Socket& socket);
bool parseBool(Socket& socket);
short parseShort(Socket& socket);
int parseInt(Socket& socket);
std::int64_t parseLong(Socket& socket);
float parseFloat(Socket& socket);
double parseDouble(Socket& socket);
std::string parseString8(Socket& socket);
std::string parseString16(Socket& socket);
std::vector<signed char> parseByteArray(Socket& socket, int count);
std::vector<short> parseShortArray(Socket& socket, int count);
std::vector<char> parseMeta(Socket& socket);
// The most bytes any compressed block may inflate to: the payload of the
// largest box a map chunk can describe, 128 x 128 x 128 blocks.
constexpr std::size_t MaxInflated = 5 * 1024 * 1024;

// Inflates a length-prefixed zlib block; fails once the output would exceed
// maxOutput bytes.
std::vector<signed char> parseCompressed(Socket& socket, std::size_t maxOutput = MaxInflated);

void writeByte(std::ostream& out, signed char value);
void writeBool(std::ostream& out, bool value);
void writeShort(std::ostream& out, short value);
void writeInt(std::ostream& out, int value);
void writeLong(std::ostream& out, std::int64_t value);
void writeFloat(std::ostream& out, float value);
void writeDouble(std::ostream& out, double value);
void writeString8(std::ostream& out, std::string value);
// Writes at most maxUnits characters (UCS-2 code units), never more than a
// length prefix can carry.
void writeString16(std::ostream& out, std::string value, std::size_t maxUnits = 32767);
void writeByteArray(std::ostream& out, std::vector<signed char> value);
void writeShortArray(std::ostream& out, std::vector<short> value);
void writeMeta(std::ostream& out, std::vector<char> value);
void writeCompressed(std::ostream& out, std::vector<signed char> value);

} // namespace TSDataTypes

#endif
