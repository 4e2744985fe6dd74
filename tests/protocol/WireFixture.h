#ifndef WIRE_FIXTURE_H
#define WIRE_FIXTURE_H

#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "ByteReader.h"
#include "LoopbackPair.h"
#include "TSDataTypes.h"
#include "Wire.h"

// Everything that write puts on the wire.
template <typename Packet> std::string written(const Packet& packet) {
  std::ostringstream out;
  packet.write(out);
  return out.str();
}

// Runs the read over every proper prefix of the bytes, as the receive loop
// does while they arrive: each try must ask for more than the prefix and no
// more than all of them.
void expectNeedsMoreOnEveryPrefix(const std::function<void(WireInput&)>& read,
                                  const std::string& bytes);

// Reads from exactly these bytes in memory, as the receive loop does, and
// checks that the read takes them all and that every shorter prefix asks for
// more.
template <typename Read> auto readWhole(const std::string& bytes, Read read) {
  expectNeedsMoreOnEveryPrefix([&](WireInput& in) { read(in); }, bytes);
  ByteReader reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  auto value = read(reader);
  EXPECT_EQ(reader.consumed(), bytes.size());
  return value;
}

// A packet's fields parsed from exactly these bytes (see readWhole).
template <typename Packet> Packet parsed(const std::string& body) {
  return readWhole(body, [](WireInput& in) {
    Packet packet;
    packet.parse(in);
    return packet;
  });
}

// A connected socket pair, for the readers' socket overloads: bytes fed on
// one end are read on the other.
class WireTest : public ::testing::Test {
protected:
  void feed(const std::string& bytes) { m_pair.feed(bytes); }
  void endFeed() { m_pair.closeFeed(); }
  asio::ip::tcp::socket& socket() { return m_pair.client; }

private:
  LoopbackPair m_pair;
};

#endif
