#include "TSDataTypes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "Inflate.h"
#include "String16.h"
#include "WireFault.h"

namespace TSDataTypes {

namespace {

// Counts come from the wire: memory grows by at most this much ahead of the
// bytes that have actually arrived.
constexpr std::size_t ReadStep = 64 * 1024;

constexpr signed char MetaEnd = 0x7F;

template <typename Unsigned> Unsigned readBigEndian(WireInput &in) {
  unsigned char bytes[sizeof(Unsigned)];
  in.read(bytes, sizeof bytes);
  Unsigned value = 0;
  for (unsigned char byte : bytes) {
    value = static_cast<Unsigned>(value << 8 | byte);
  }
  return value;
}

template <typename Unsigned> void writeBigEndian(std::ostream &out, Unsigned value) {
  char bytes[sizeof(Unsigned)];
  for (std::size_t i = sizeof bytes; i-- > 0;) {
    bytes[i] = static_cast<char>(value & 0xFF);
    value = static_cast<Unsigned>(value >> 8);
  }
  out.write(bytes, sizeof bytes);
}

template <typename To, typename From> To bitCast(From value) {
  static_assert(sizeof(To) == sizeof(From), "same size");
  To result;
  std::memcpy(&result, &value, sizeof result);
  return result;
}

// Reads count elements' raw bytes. A negative count fails as an allocation
// would; a large one fails on the first missing byte, not on memory.
template <typename Element> std::vector<Element> readElements(WireInput &in, std::int64_t count) {
  if (count < 0) {
    throw std::bad_alloc();
  }
  const auto total = static_cast<std::size_t>(count);
  in.expect(total * sizeof(Element));
  const std::size_t step = ReadStep / sizeof(Element);
  std::vector<Element> values;
  while (values.size() < total) {
    const std::size_t start = values.size();
    values.resize(start + std::min(step, total - start));
    in.read(values.data() + start, (values.size() - start) * sizeof(Element));
  }
  return values;
}

void skipBytes(WireInput &in, std::size_t count) {
  char bytes[16];
  in.read(bytes, count);
}

// Reads and drops the value of one metadata entry of the given type.
void skipMetaValue(WireInput &in, int type) {
  // Value sizes of types 0, 1, 2, 3, -, 5 (short, byte, short), 6 (three ints).
  static const std::size_t sizes[] = {1, 2, 4, 4, 0, 5, 12};
  if (type == 4) {
    readElements<char>(in, 2 * static_cast<std::int64_t>(parseShort(in)));
  } else {
    skipBytes(in, sizes[type]);
  }
}

} // namespace

signed char parseByte(WireInput &in) {
  return static_cast<signed char>(readBigEndian<std::uint8_t>(in));
}

bool parseBool(WireInput &in) {
  const signed char byte = parseByte(in);
  if (byte != 0 && byte != 1) {
    throw "invalid bool received";
  }
  return byte == 1;
}

short parseShort(WireInput &in) { return static_cast<short>(readBigEndian<std::uint16_t>(in)); }

int parseInt(WireInput &in) { return static_cast<int>(readBigEndian<std::uint32_t>(in)); }

std::int64_t parseLong(WireInput &in) {
  return static_cast<std::int64_t>(readBigEndian<std::uint64_t>(in));
}

float parseFloat(WireInput &in) { return bitCast<float>(readBigEndian<std::uint32_t>(in)); }

double parseDouble(WireInput &in) { return bitCast<double>(readBigEndian<std::uint64_t>(in)); }

std::string parseString8(WireInput &in) {
  const std::vector<char> bytes = readElements<char>(in, parseShort(in));
  return std::string(bytes.begin(), bytes.end());
}

std::string parseString16(WireInput &in) {
  const short units = parseShort(in);
  const std::vector<char> bytes = readElements<char>(in, 2 * static_cast<std::int64_t>(units));
  return String16::decode(bytes.data(), bytes.size() / 2);
}

std::vector<signed char> parseByteArray(WireInput &in, int count) {
  return readElements<signed char>(in, count);
}

std::vector<short> parseShortArray(WireInput &in, int count) {
  return readElements<short>(in, count);
}

std::vector<char> parseMeta(WireInput &in) {
  std::vector<char> types;
  for (signed char key = parseByte(in); key != MetaEnd; key = parseByte(in)) {
    const int type = static_cast<unsigned char>(key) >> 5;
    if (type == 7) {
      throw WireFault("unknown metadata byte x");
    }
    skipMetaValue(in, type);
    types.push_back(static_cast<char>(type));
  }
  return types;
}

// The block is refused by its length, before its bytes are waited for: a
// hostile length must not make the client buffer more than the bound.
std::vector<signed char> parseCompressed(WireInput &in, std::size_t maxOutput) {
  const int length = parseInt(in);
  const std::size_t bound = Inflate::inputBound(maxOutput);
  if (length > 0 && static_cast<std::size_t>(length) > bound) {
    throw WireFault("compressed block of " + std::to_string(length) + " bytes, more than the " +
                    std::to_string(bound) + " that inflate to at most " +
                    std::to_string(maxOutput));
  }
  const std::vector<unsigned char> block = readElements<unsigned char>(in, length);
  return Inflate::inflateBounded(block.data(), block.size(), maxOutput);
}

void writeByte(std::ostream &out, signed char value) {
  writeBigEndian(out, static_cast<std::uint8_t>(value));
}

void writeBool(std::ostream &out, bool value) { writeByte(out, value ? 1 : 0); }

void writeShort(std::ostream &out, short value) {
  writeBigEndian(out, static_cast<std::uint16_t>(value));
}

void writeInt(std::ostream &out, int value) {
  writeBigEndian(out, static_cast<std::uint32_t>(value));
}

void writeLong(std::ostream &out, std::int64_t value) {
  writeBigEndian(out, static_cast<std::uint64_t>(value));
}

void writeFloat(std::ostream &out, float value) {
  writeBigEndian(out, bitCast<std::uint32_t>(value));
}

void writeDouble(std::ostream &out, double value) {
  writeBigEndian(out, bitCast<std::uint64_t>(value));
}

void writeString8(std::ostream &out, std::string value) {
  writeShort(out, static_cast<short>(value.size()));
  out.write(value.data(), static_cast<std::streamsize>(value.size()));
}

void writeString16(std::ostream &out, std::string value, std::size_t maxUnits) {
  const std::string units = String16::encode(value, std::min(maxUnits, String16::MaxUnits));
  writeShort(out, static_cast<short>(units.size() / 2));
  out.write(units.data(), static_cast<std::streamsize>(units.size()));
}

void writeByteArray(std::ostream &out, std::vector<signed char> value) {
  out.write(reinterpret_cast<const char *>(value.data()),
            static_cast<std::streamsize>(value.size()));
}

void writeShortArray(std::ostream &out, std::vector<short> value) {
  out.write(reinterpret_cast<const char *>(value.data()),
            static_cast<std::streamsize>(value.size() * sizeof(short)));
}

void writeMeta(std::ostream &out, std::vector<char> value) {
  out.write(value.data(), static_cast<std::streamsize>(value.size()));
}

void writeCompressed(std::ostream &, std::vector<signed char>) { throw "not yet implemented"; }

} // namespace TSDataTypes
