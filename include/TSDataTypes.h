#ifndef TS_DATA_TYPES_H
#define TS_DATA_TYPES_H

// Readers and writers of the protocol's wire types. Readers take exactly the
// bytes of one value from a WireInput: the bytes received so far
// (ByteReader) or a connected socket (SocketInput, blocking). Writers append
// one value to a stream. All numbers are big-endian on the wire.
//
// Lengths and counts come from the wire: a negative one fails with
// std::bad_alloc, a large one grows memory only as its bytes arrive.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "WireInput.h"

namespace TSDataTypes {

// The most bytes any compressed block may inflate to: the payload of the
// largest box a map chunk can describe, 128 x 128 x 128 blocks.
constexpr std::size_t MaxInflated = 5 * 1024 * 1024;

signed char parseByte(WireInput& in);
bool parseBool(WireInput& in);
short parseShort(WireInput& in);
int parseInt(WireInput& in);
std::int64_t parseLong(WireInput& in);
float parseFloat(WireInput& in);
double parseDouble(WireInput& in);
std::string parseString8(WireInput& in);
std::string parseString16(WireInput& in);
std::vector<signed char> parseByteArray(WireInput& in, int count);
std::vector<short> parseShortArray(WireInput& in, int count);
std::vector<char> parseMeta(WireInput& in);
// Inflates a length-prefixed zlib block. Fails with a WireFault when the
// block is longer than any block inflating to at most maxOutput bytes can be
// (Inflate::inputBound), before it is read, and once the output would exceed
// maxOutput bytes.
std::vector<signed char> parseCompressed(WireInput& in, std::size_t maxOutput = MaxInflated);

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
