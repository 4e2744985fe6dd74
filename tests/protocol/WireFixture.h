#ifndef WIRE_FIXTURE_H
#define WIRE_FIXTURE_H

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "LoopbackPair.h"
#include "TSDataTypes.h"

// Builds wire bytes independently of the writers under test.
class Bytes {
public:
  Bytes() = default;
  Bytes(std::initializer_list<int> bytes) {
    for (int byte : bytes) {
      u8(byte);
    }
  }

  Bytes& u8(int value) {
    m_bytes += static_cast<char>(value & 0xFF);
    return *this;
  }
  Bytes& u16(int value) { return bigEndian(static_cast<std::uint16_t>(value), 2); }
  Bytes& u32(std::int64_t value) { return bigEndian(static_cast<std::uint32_t>(value), 4); }
  Bytes& u64(std::uint64_t value) { return bigEndian(value, 8); }
  Bytes& f64(double value);
  Bytes& f32(float value);
  Bytes& raw(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }
  // A string16 of ASCII text.
  Bytes& ascii16(const std::string& text);

  operator const std::string&() const { return m_bytes; }
  const std::string& str() const { return m_bytes; }

private:
  Bytes& bigEndian(std::uint64_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
      u8(static_cast<int>(value >> shift));
    }
    return *this;
  }

  std::string m_bytes;
};

// zlib stream of the bytes at the default level.
std::string zlibCompress(const std::string& bytes);

// Everything that write puts on the wire.
template <typename Packet> std::string written(const Packet& packet) {
  std::ostringstream out;
  packet.write(out);
  return out.str();
}

// A connected socket pair: bytes fed on one end are parsed on the other.
class WireTest : public ::testing::Test {
protected:
  static constexpr signed char Marker = 0x5A;

  void feed(const std::string& bytes) { m_pair.feed(bytes); }
  void endFeed() { m_pair.closeFeed(); }
  asio::ip::tcp::socket& socket() { return m_pair.client; }

  // Parses a packet from the body followed by a marker byte, and checks that
  // the parse took exactly the body.
  template <typename Packet> Packet parsed(const std::string& body) {
    feed(body);
    feed(std::string(1, Marker));
    Packet packet;
    packet.parse(socket());
    expectMarkerNext();
    return packet;
  }

  void expectMarkerNext() { EXPECT_EQ(TSDataTypes::parseByte(socket()), Marker); }

private:
  LoopbackPair m_pair;
};

// The text of a thrown C string, or "" when the call throws nothing.
template <typename Call> std::string thrownText(Call call) {
  try {
    call();
  } catch (const char* text) {
    return text;
  }
  return "";
}

#endif
