#ifndef SAMPLE_COLUMNS_H
#define SAMPLE_COLUMNS_H

#include <string>
#include <vector>

#include "terrain/TerrainGenerator.h"

// Full chunk columns to feed the benchmark, and the map chunk packets that
// carry them.
namespace SampleColumns {

// The columns of chunk x and z from -1 to 1 of the generator's reference
// world (seed 0).
std::vector<Terrain::Column> generated();

// Every column of a terrain file: 32768-byte records of block types, each
// indexed (x * 16 + z) * 128 + y. Throws std::runtime_error when the file
// cannot be read or holds no whole record.
std::vector<Terrain::Column> load(const std::string& path);

// The decompressed map chunk payload of a column: its block types, zero
// metadata and block light, and full sky light above the topmost solid block.
std::string payload(const Terrain::Column& column);

// zlib stream of the bytes at the default level.
std::string compress(const std::string& bytes);

// A whole map chunk packet, id byte first, for the column at chunk (0, 0)
// carrying the compressed payload.
std::string mapChunkPacket(const std::string& compressedPayload);

} // namespace SampleColumns

#endif
