#include "Wire.h"

#include <cstring>

#include <zlib.h>

Wire::Wire(std::initializer_list<int> bytes) {
  for (int byte : bytes) {
    i8(byte);
  }
}

Wire& Wire::bigEndian(std::uint64_t value, int size) {
  for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
    m_bytes += static_cast<char>(value >> shift & 0xFF);
  }
  return *this;
}

Wire& Wire::i8(int value) { return bigEndian(static_cast<std::uint8_t>(value), 1); }

Wire& Wire::boolean(bool value) { return i8(value ? 1 : 0); }

Wire& Wire::i16(int value) { return bigEndian(static_cast<std::uint16_t>(value), 2); }

Wire& Wire::i32(std::int32_t value) { return bigEndian(static_cast<std::uint32_t>(value), 4); }

Wire& Wire::i64(std::int64_t value) { return bigEndian(static_cast<std::uint64_t>(value), 8); }

Wire& Wire::f32(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bigEndian(bits, 4);
}

Wire& Wire::f64(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bigEndian(bits, 8);
}

Wire& Wire::string16(const std::string& ascii) {
  i16(static_cast<int>(ascii.size()));
  for (char c : ascii) {
    i16(static_cast<unsigned char>(c));
  }
  return *this;
}

Wire& Wire::raw(const std::string& bytes) {
  m_bytes += bytes;
  return *this;
}

Wire& Wire::compressed(const std::string& payload) {
  const std::string block = zlibCompress(payload);
  return i32(static_cast<std::int32_t>(block.size())).raw(block);
}

Wire& Wire::zeros(std::size_t count) { return compressed(std::string(count, '\0')); }

std::string zlibCompress(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}
