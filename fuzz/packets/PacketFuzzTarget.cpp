// libFuzzer entry: the input is bytes as they arrive on the wire, a packet's
// id byte first. Two checks run on it:
//
// - Its first packet goes through the packet class's parse from memory, as
//   in the receive loop; every failure parse may report is caught. A parse
//   that asks for more bytes must ask for more than it was given.
// - The whole input, as a stream of packets, goes through the receive
//   buffer as the connection feeds it: at once, in pieces cut where the
//   input's own hash says (with pauses of the stream between some of them),
//   and trickled a few bytes at a time. Every way must take the same
//   packets and end the same: in the same fault, or with the same packet
//   waiting for the same number of bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "ByteReader.h"
#include "ReceiveBuffer.h"
#include "TSPackets.h"
#include "UnknownPacketId.h"

namespace {

template <typename Packet> void parsePacket(WireInput& in) {
  Packet packet;
  packet.parse(in);
}

// Parses a packet of the given id; false when no class has that id.
bool parseById(std::uint8_t id, WireInput& in) {
  switch (id) {
#define TS_FUZZ_CASE(packetId, Class, Read, Write, Dispatch, fields)                               \
  case packetId:                                                                                   \
    parsePacket<TSPackets::Class>(in);                                                             \
    return true;
    TS_PACKET_CATALOGUE(TS_FUZZ_CASE)
#undef TS_FUZZ_CASE
  }
  return false;
}

void checkFirstPacket(const std::uint8_t* data, std::size_t size) {
  ByteReader reader(data + 1, size - 1);
  try {
    parseById(data[0], reader);
  } catch (const NeedMoreBytes& more) {
    if (more.total <= size - 1) {
      std::abort();
    }
  } catch (const std::exception&) {
  } catch (const char*) {
  }
}

// How a stream of packets went through the receive buffer.
struct Outcome {
  // The size of each packet taken, in order.
  std::vector<std::size_t> packets;
  // What ended the stream: a fault's text, "waiting" for a packet left
  // incomplete, or nothing when every byte was taken.
  std::string end;
  // What the waiting packet needs at least.
  std::size_t needed = 0;

  bool operator==(const Outcome& other) const {
    return packets == other.packets && end == other.end && needed == other.needed;
  }
};

// Where the stream is cut, and where it pauses.
struct Piece {
  std::size_t size;
  bool pauseAfter;
};

void takeWaiting(ReceiveBuffer& buffer, Outcome& outcome) {
  while (!buffer.empty() && buffer.worthParsing()) {
    const bool taken = buffer.tryParse([&](ByteReader& reader) {
      try {
        std::uint8_t id = 0;
        reader.read(&id, 1);
        if (!parseById(id, reader)) {
          throw UnknownPacketId();
        }
      } catch (const NeedMoreBytes& more) {
        outcome.needed = more.total;
        throw;
      }
      outcome.packets.push_back(reader.consumed());
      buffer.consume(reader.consumed());
    });
    if (!taken) {
      return;
    }
  }
}

// A pause lets a packet that may be whole be tried, as the connection does
// once the bytes stop coming.
void pause(ReceiveBuffer& buffer, Outcome& outcome) {
  if (buffer.deferred()) {
    buffer.retryNow();
    takeWaiting(buffer, outcome);
  }
}

Outcome feed(const std::uint8_t* data, const std::vector<Piece>& pieces) {
  ReceiveBuffer buffer;
  Outcome outcome;
  try {
    for (const Piece& piece : pieces) {
      buffer.append(data, piece.size);
      data += piece.size;
      takeWaiting(buffer, outcome);
      if (piece.pauseAfter) {
        pause(buffer, outcome);
      }
    }
    pause(buffer, outcome);
    outcome.end = buffer.empty() ? "" : "waiting";
  } catch (const std::exception& fault) {
    outcome.end = fault.what();
  } catch (const char* text) {
    outcome.end = text;
  }
  if (outcome.end != "waiting") {
    outcome.needed = 0;
  }
  return outcome;
}

std::uint64_t hashOf(const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) {
    hash = (hash ^ data[i]) * 1099511628211ull;
  }
  return hash;
}

// Pieces of 1 to 64 bytes, one in eight followed by a pause.
std::vector<Piece> cutPieces(std::size_t size, std::uint64_t seed) {
  std::vector<Piece> pieces;
  std::uint64_t state = seed | 1;
  for (std::size_t left = size; left > 0;) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const std::size_t piece = std::min<std::size_t>(left, 1 + state % 64);
    pieces.push_back({piece, (state >> 8) % 8 == 0});
    left -= piece;
  }
  return pieces;
}

// At most a few thousand pieces of equal size, without pauses.
std::vector<Piece> tricklePieces(std::size_t size) {
  const std::size_t piece = size / 4096 + 1;
  std::vector<Piece> pieces;
  for (std::size_t left = size; left > 0; left -= std::min(left, piece)) {
    pieces.push_back({std::min(left, piece), false});
  }
  return pieces;
}

std::string describe(const Outcome& outcome) {
  std::string text = std::to_string(outcome.packets.size()) + " packets (";
  for (std::size_t size : outcome.packets) {
    text += " " + std::to_string(size);
  }
  return text + " ), end \"" + outcome.end + "\", needing " + std::to_string(outcome.needed);
}

void checkStream(const std::uint8_t* data, std::size_t size) {
  const Outcome whole = feed(data, {{size, false}});
  const std::vector<std::pair<const char*, std::vector<Piece>>> ways = {
      {"cut", cutPieces(size, hashOf(data, size))},
      {"trickled", tricklePieces(size)},
  };
  for (const auto& way : ways) {
    const Outcome pieces = feed(data, way.second);
    if (!(pieces == whole)) {
      std::cerr << "whole: " << describe(whole) << "\n"
                << way.first << ": " << describe(pieces) << std::endl;
      std::abort();
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  checkFirstPacket(data, size);
  checkStream(data, size);
  return 0;
}
