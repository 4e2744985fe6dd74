#include "SampleColumns.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <zlib.h>

#include "TSDataTypes.h"
#include "TSPackets.h"

namespace SampleColumns {

namespace {

constexpr int Height = 128;
constexpr int FullSky = 15;

// Nibble values in payload order, packed two to a byte, high half first.
void appendNibbles(const std::vector<int>& values, std::string& out) {
  for (std::size_t i = 0; i < values.size(); i += 2) {
    out += static_cast<char>(values[i] << 4 | values[i + 1]);
  }
}

} // namespace

std::vector<Terrain::Column> generated() {
  const Terrain::TerrainGenerator generator;
  std::vector<Terrain::Column> columns;
  for (int chunkX = -1; chunkX <= 1; ++chunkX) {
    for (int chunkZ = -1; chunkZ <= 1; ++chunkZ) {
      columns.push_back(generator.column(chunkX, chunkZ));
    }
  }
  return columns;
}

std::vector<Terrain::Column> load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read " + path);
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                        std::istreambuf_iterator<char>()};
  const std::size_t records = bytes.size() / Terrain::ColumnBlocks;
  if (records == 0) {
    throw std::runtime_error(path + " holds no whole column");
  }
  std::vector<Terrain::Column> columns;
  for (std::size_t i = 0; i < records; ++i) {
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(i * Terrain::ColumnBlocks);
    columns.emplace_back(first, first + Terrain::ColumnBlocks);
  }
  return columns;
}

std::string payload(const Terrain::Column& column) {
  std::vector<int> sky(column.size(), 0);
  for (std::size_t base = 0; base < column.size(); base += Height) {
    for (int y = Height - 1; y >= 0 && column[base + y] == Terrain::Air; --y) {
      sky[base + y] = FullSky;
    }
  }
  std::string bytes(column.begin(), column.end());
  std::vector<int> nibbles(2 * column.size(), 0);
  nibbles.insert(nibbles.end(), sky.begin(), sky.end());
  appendNibbles(nibbles, bytes);
  return bytes;
}

std::string compress(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::runtime_error("cannot compress a column");
  }
  out.resize(size);
  return out;
}

std::string mapChunkPacket(const std::string& compressedPayload) {
  std::ostringstream out;
  TSDataTypes::writeByte(out, static_cast<signed char>(TSPackets::MapChunk::Id));
  TSDataTypes::writeInt(out, 0);
  TSDataTypes::writeShort(out, 0);
  TSDataTypes::writeInt(out, 0);
  TSDataTypes::writeByte(out, 15);
  TSDataTypes::writeByte(out, Height - 1);
  TSDataTypes::writeByte(out, 15);
  TSDataTypes::writeInt(out, static_cast<int>(compressedPayload.size()));
  out.write(compressedPayload.data(), static_cast<std::streamsize>(compressedPayload.size()));
  return out.str();
}

} // namespace SampleColumns
