// Packets taken from the receive buffer as their bytes arrive in pieces, the
// way the connection feeds it: what all the tries of a trickled packet read
// together, and when a packet whose bytes have all come is taken.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ReceiveBuffer.h"
#include "TSPackets.h"
#include "WireFault.h"
#include "Wire.h"

namespace {

using Parse = std::function<void(WireInput&)>;

template <typename Packet> void parsePacket(WireInput& in) {
  Packet packet;
  packet.parse(in);
}

// A metadata list of one-byte entries, about `bytes` long, with its end.
std::string metadataList(std::size_t bytes) {
  Wire list;
  for (std::size_t entry = 0; entry < bytes / 2; ++entry) {
    list.i8(static_cast<int>(entry % 32)).i8(static_cast<int>(entry));
  }
  return list.i8(0x7F);
}

// What feeding a packet in pieces took.
struct Feed {
  std::size_t tries = 0;
  // Bytes read by all tries together.
  std::size_t examined = 0;
  // Bytes fed when the packet was taken; 0 while it was not.
  std::size_t takenAt = 0;
  std::size_t consumed = 0;
  // Taken only once the bytes paused.
  bool neededPause = false;
};

// Feeds the packet in pieces; after each one the buffer is tried as long as
// it is worth it, and after the last one the bytes pause (the connection
// tries a deferred packet then). Gives up once the tries have read more
// than `examinedLimit`.
Feed feedInPieces(const std::string& packet, std::size_t piece, const Parse& parse,
                  std::size_t examinedLimit) {
  ReceiveBuffer buffer;
  Feed feed;
  std::size_t fed = 0;
  const auto tryAll = [&] {
    while (!buffer.empty() && buffer.worthParsing() && feed.examined <= examinedLimit) {
      ++feed.tries;
      const bool taken = buffer.tryParse([&](ByteReader& reader) {
        struct Tally {
          Feed& feed;
          ByteReader& reader;
          ~Tally() { feed.examined += reader.consumed(); }
        } tally{feed, reader};
        std::uint8_t id = 0;
        reader.read(&id, 1);
        parse(reader);
        feed.consumed = reader.consumed();
        feed.takenAt = fed;
        buffer.consume(reader.consumed());
      });
      if (!taken)
        return;
    }
  };
  const auto* bytes = reinterpret_cast<const unsigned char*>(packet.data());
  while (fed < packet.size() && feed.examined <= examinedLimit) {
    const std::size_t size = std::min(piece, packet.size() - fed);
    buffer.append(bytes + fed, size);
    fed += size;
    tryAll();
  }
  if (feed.takenAt == 0 && buffer.deferred()) {
    feed.neededPause = true;
    buffer.retryNow();
    tryAll();
  }
  return feed;
}

} // namespace

// However a packet is cut, all its tries together read at most about twice
// the packet, and it is taken once, whole. Packets of ordinary sizes, and
// those whose bytes the parse can count ahead, are taken as soon as their
// last byte has come; only a long list may wait for a pause of the bytes.
TEST(ReceiveBuffer, TrickledPacketsCostAtMostAFewParses) {
  struct Case {
    const char* name;
    std::string packet;
    std::size_t piece;
    Parse parse;
    bool mayNeedPause;
  };
  Wire windowItems = Wire().i8(0x68).i8(0).i16(32767);
  for (int slot = 0; slot < 32767; ++slot)
    windowItems.i16(slot % 400).i8(1).i16(0);
  const std::vector<Case> cases = {
      {"metadata list of 6 MB in 256-byte pieces",
       Wire().i8(0x28).i32(9).raw(metadataList(6000000)), 256,
       parsePacket<TSPackets::EntityMetadata>, true},
      {"mob spawn with 1 MB of metadata in 1500-byte pieces",
       Wire().i8(0x18).i32(1).i8(50).i32(0).i32(0).i32(0).i8(0).i8(0).raw(metadataList(1000000)),
       1500, parsePacket<TSPackets::MobSpawn>, true},
      {"window of 32767 stacks in 16-byte pieces", windowItems, 16,
       parsePacket<TSPackets::WindowItems>, true},
      {"map chunk column in 256-byte pieces",
       Wire().i8(0x33).i32(0).i16(0).i32(0).i8(15).i8(127).i8(15).zeros(81920), 256,
       parsePacket<TSPackets::MapChunk>, false},
      {"chat line of 32767 units a byte at a time",
       Wire().i8(0x03).string16(std::string(32767, 'x')), 1,
       parsePacket<TSPackets::ChatMessage>, false},
      {"position a byte at a time", Wire().i8(0x0D).f64(1).f64(2).f64(3).f64(4).f32(5).f32(6).i8(1),
       1, parsePacket<TSPackets::PlayerPosAndLook>, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::size_t limit = 2 * test.packet.size() + 64 * 1024;
    const Feed feed = feedInPieces(test.packet, test.piece, test.parse, limit);
    EXPECT_LE(feed.examined, limit) << "after " << feed.tries << " tries";
    EXPECT_EQ(feed.takenAt, test.packet.size());
    EXPECT_EQ(feed.consumed, test.packet.size());
    if (!test.mayNeedPause) {
      EXPECT_FALSE(feed.neededPause);
    }
  }
}

// A list without end is refused once the buffer holds as much as a packet
// may take, not later, however long its tries are spaced out.
TEST(ReceiveBuffer, EndlessListIsRefusedAtTheLargestPacket) {
  const std::string head = Wire().i8(0x28).i32(9);
  const std::string entries = metadataList(64 * 1024).substr(0, 64 * 1024);
  ReceiveBuffer buffer;
  std::size_t fed = 0;
  std::string fault;
  while (fault.empty() && fed <= 2 * ReceiveBuffer::MaxPacketBytes) {
    const std::string& piece = fed == 0 ? head : entries;
    buffer.append(reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
    fed += piece.size();
    try {
      if (buffer.worthParsing()) {
        buffer.tryParse([](ByteReader& reader) {
          std::uint8_t id = 0;
          reader.read(&id, 1);
          parsePacket<TSPackets::EntityMetadata>(reader);
        });
      }
    } catch (const WireFault& refused) {
      fault = refused.what();
    }
  }
  EXPECT_EQ(fault, "message of more than 6291456 bytes");
  EXPECT_LE(fed, ReceiveBuffer::MaxPacketBytes + entries.size());
}
