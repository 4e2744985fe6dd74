// Microseconds per full-column map chunk: the client's whole parse from the
// received bytes (id byte, header, inflate, type copy, nibble split) next to
// zlib's bare inflate of the same payloads, the median of several trials.
//
// Usage: mapchunk_bench [TERRAIN-FILE]
// Without a file the columns come from the terrain generator's reference
// world; a file holds 32768-byte column records (see SampleColumns.h).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "ByteReader.h"
#include "SampleColumns.h"
#include "TSDataTypes.h"
#include "TSPackets.h"

namespace {

constexpr int Rounds = 200;
constexpr int Trials = 5;
constexpr double Goal = 1.5;

using Clock = std::chrono::steady_clock;

double microsecondsPer(Clock::time_point start, std::size_t count) {
  const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
  return elapsed.count() / static_cast<double>(count);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Parses Rounds passes over the packets from memory, as the receive loop
// does once a packet's bytes have all arrived.
double timeParse(const std::vector<std::string>& packets) {
  std::string stream;
  for (int round = 0; round < Rounds; ++round) {
    for (const std::string& packet : packets) {
      stream += packet;
    }
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(stream.data());
  const std::size_t count = Rounds * packets.size();
  std::size_t offset = 0;
  const auto start = Clock::now();
  for (std::size_t i = 0; i < count; ++i) {
    ByteReader reader(bytes + offset, stream.size() - offset);
    if (static_cast<unsigned char>(TSDataTypes::parseByte(reader)) != TSPackets::MapChunk::Id) {
      throw std::runtime_error("stream out of step");
    }
    TSPackets::MapChunk chunk;
    chunk.parse(reader);
    offset += reader.consumed();
  }
  return microsecondsPer(start, count);
}

// zlib alone: one uncompress per payload into a buffer of the column's size.
double timeInflate(const std::vector<std::string>& blocks, std::size_t payloadSize) {
  std::vector<Bytef> out(payloadSize);
  const std::size_t count = Rounds * blocks.size();
  const auto start = Clock::now();
  for (int round = 0; round < Rounds; ++round) {
    for (const std::string& block : blocks) {
      uLongf size = out.size();
      if (uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(block.data()),
                     block.size()) != Z_OK ||
          size != payloadSize) {
        throw std::runtime_error("payload does not inflate to a column");
      }
    }
  }
  return microsecondsPer(start, count);
}

int run(int argc, char** argv) {
  const std::vector<Terrain::Column> columns =
      argc > 1 ? SampleColumns::load(argv[1]) : SampleColumns::generated();
  std::vector<std::string> blocks;
  std::vector<std::string> packets;
  std::size_t compressedBytes = 0;
  for (const Terrain::Column& column : columns) {
    blocks.push_back(SampleColumns::compress(SampleColumns::payload(column)));
    packets.push_back(SampleColumns::mapChunkPacket(blocks.back()));
    compressedBytes += blocks.back().size();
  }
  const std::size_t payloadSize = SampleColumns::payload(columns.front()).size();

  std::vector<double> parse;
  std::vector<double> inflate;
  for (int trial = 0; trial < Trials; ++trial) {
    parse.push_back(timeParse(packets));
    inflate.push_back(timeInflate(blocks, payloadSize));
  }
  const double parseTime = median(parse);
  const double inflateTime = median(inflate);
  std::printf("columns: %zu from %s, payload %zu bytes, compressed %.0f bytes on average\n",
              columns.size(), argc > 1 ? argv[1] : "the terrain generator (seed 0)", payloadSize,
              static_cast<double>(compressedBytes) / static_cast<double>(columns.size()));
  std::printf("MapChunk parse from memory: %.1f us per packet\n", parseTime);
  std::printf("zlib inflate alone:         %.1f us per packet\n", inflateTime);
  std::printf("ratio: %.2f (goal: at most %.1f)\n", parseTime / inflateTime, Goal);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mapchunk_bench: %s\n", error.what());
    return 1;
  }
}
