#include "WireFixture.h"

#include <cstring>

#include <zlib.h>

Bytes& Bytes::f64(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return u64(bits);
}

Bytes& Bytes::f32(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return u32(bits);
}

Bytes& Bytes::ascii16(const std::string& text) {
  u16(static_cast<int>(text.size()));
  for (char c : text) {
    u8(0).u8(c);
  }
  return *this;
}

std::string zlibCompress(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}
