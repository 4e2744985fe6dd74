#ifndef WIRE_H
#define WIRE_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// Builds protocol bytes by hand, big-endian, independently of the client's
// own writers.
class Wire {
public:
  Wire() = default;
  // Raw bytes, each taken modulo 256.
  Wire(std::initializer_list<int> bytes);

  Wire& i8(int value);
  Wire& boolean(bool value);
  Wire& i16(int value);
  Wire& i32(std::int32_t value);
  Wire& i64(std::int64_t value);
  Wire& f32(float value);
  Wire& f64(double value);
  // A string16 of ASCII text.
  Wire& string16(const std::string& ascii);
  Wire& raw(const std::string& bytes);
  // A length-prefixed zlib block of the payload.
  Wire& compressed(const std::string& payload);
  // A length-prefixed zlib block inflating to that many zero bytes.
  Wire& zeros(std::size_t count);

  const std::string& bytes() const { return m_bytes; }
  operator const std::string&() const { return m_bytes; }

private:
  Wire& bigEndian(std::uint64_t value, int size);

  std::string m_bytes;
};

// The zlib stream of the bytes, at the default level.
std::string zlibCompress(const std::string& bytes);

#endif
