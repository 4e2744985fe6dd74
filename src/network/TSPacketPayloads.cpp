#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <utility>

#include "TSDataTypes.h"
#include "TSPackets.h"
#include "WireFault.h"

// parse of the packets whose fields are lists: chunk data, block changes,
// explosion records, window slots and item data.

namespace TSPackets {

using namespace TSDataTypes;

namespace {

// Explosion records read per step, so that a huge count fails on the
// missing bytes rather than on memory.
constexpr int RecordStep = 16 * 1024;

// Writes the two halves of each input byte: the high half kept in place
// (byte & 0xF0), then the low half (byte & 0x0F). Four bytes per step, as
// one 64-bit word, keep a full column's three lists cheap.
void splitBytes(const unsigned char *in, std::size_t bytes, signed char *out) {
  std::size_t k = 0;
  for (; k + 4 <= bytes; k += 4, out += 8) {
    // Byte b of the input lands in bits 16b to 16b + 7.
    const std::uint64_t spread =
        std::uint64_t{in[k]} | std::uint64_t{in[k + 1]} << 16 | std::uint64_t{in[k + 2]} << 32 |
        std::uint64_t{in[k + 3]} << 48;
    const std::uint64_t halves =
        (spread & 0x00F000F000F000F0) | (spread & 0x000F000F000F000F) << 8;
    out[0] = static_cast<signed char>(halves);
    out[1] = static_cast<signed char>(halves >> 8);
    out[2] = static_cast<signed char>(halves >> 16);
    out[3] = static_cast<signed char>(halves >> 24);
    out[4] = static_cast<signed char>(halves >> 32);
    out[5] = static_cast<signed char>(halves >> 40);
    out[6] = static_cast<signed char>(halves >> 48);
    out[7] = static_cast<signed char>(halves >> 56);
  }
  for (; k < bytes; ++k, out += 2) {
    out[0] = static_cast<signed char>(in[k] & 0xF0);
    out[1] = static_cast<signed char>(in[k] & 0x0F);
  }
}

// Stores count four-bit values of the nibble stream, starting at value
// `first`: a high half kept in place (byte & 0xF0), a low half as byte & 0x0F.
void splitNibbles(const unsigned char *stream, std::size_t first, std::size_t count,
                  std::vector<signed char> &values) {
  values.resize(count);
  signed char *out = values.data();
  const unsigned char *in = stream + first / 2;
  if (first % 2 == 1 && count > 0) {
    *out++ = static_cast<signed char>(*in++ & 0x0F);
    --count;
  }
  splitBytes(in, count / 2, out);
  if (count % 2 == 1) {
    out[count - 1] = static_cast<signed char>(in[count / 2] & 0xF0);
  }
}

void checkCount(std::int64_t count) {
  if (count < 0) {
    throw std::bad_alloc();
  }
}

} // namespace

void MapChunk::parse(WireInput &in) {
  x = parseInt(in);
  y = parseShort(in);
  z = parseInt(in);
  sizeX = parseByte(in);
  sizeY = parseByte(in);
  sizeZ = parseByte(in);
  const int blocks = (sizeX + 1) * (sizeY + 1) * (sizeZ + 1);
  if (blocks < 0) {
    throw WireFault("map chunk of negative size " + std::to_string(blocks));
  }
  const auto n = static_cast<std::size_t>(blocks);
  const std::size_t expected = n + (3 * n + 1) / 2;
  std::vector<signed char> payload = parseCompressed(in, expected);
  if (payload.size() < expected) {
    throw WireFault("map chunk payload of " + std::to_string(payload.size()) +
                    " bytes, expected " + std::to_string(expected));
  }
  const auto *nibbles = reinterpret_cast<const unsigned char *>(payload.data()) + n;
  splitNibbles(nibbles, 0, n, metadata);
  splitNibbles(nibbles, n, n, blockLight);
  splitNibbles(nibbles, 2 * n, n, skyLight);
  // The block types lead the payload: keep them in place rather than copy.
  payload.resize(n);
  type = std::move(payload);
}

// A coordinate short packs the block's place in its chunk as x (4 bits),
// z (4 bits), y (8 bits), high bits first.
void MultiBlockChange::parse(WireInput &in) {
  chunkX = parseInt(in);
  chunkZ = parseInt(in);
  count = parseShort(in);
  const std::vector<short> coordinates = parseShortArray(in, count);
  blockX.resize(coordinates.size());
  blockY.resize(coordinates.size());
  blockZ.resize(coordinates.size());
  for (std::size_t i = 0; i < coordinates.size(); ++i) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(&coordinates[i]);
    const unsigned packed = static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
    blockX[i] = static_cast<signed char>(packed >> 12 & 15);
    blockZ[i] = static_cast<signed char>(packed >> 8 & 15);
    blockY[i] = static_cast<signed char>(packed & 255);
  }
  types = parseByteArray(in, count);
  metadata = parseByteArray(in, count);
}

void Explosion::parse(WireInput &in) {
  x = parseInt(in);
  y = parseByte(in);
  z = parseInt(in);
  radius = parseFloat(in);
  const int count = parseInt(in);
  checkCount(count);
  in.expect(3 * static_cast<std::size_t>(count));
  records.clear();
  for (int left = count; left > 0;) {
    const auto step = static_cast<std::size_t>(std::min(left, RecordStep));
    const std::vector<signed char> bytes = parseByteArray(in, 3 * static_cast<int>(step));
    // A step's records at once, not one by one.
    const std::size_t first = records.size();
    records.resize(first + step);
    for (std::size_t k = 0; k < step; ++k) {
      records[first + k] = {bytes[3 * k], bytes[3 * k + 1], bytes[3 * k + 2]};
    }
    left -= static_cast<int>(step);
  }
}

void WindowItems::parse(WireInput &in) {
  windowId = parseByte(in);
  count = parseShort(in);
  checkCount(count);
  // Each slot takes at least its item id: room for them all is set aside
  // only once that much has come.
  in.expect(2 * static_cast<std::size_t>(count));
  itemCounts.clear();
  itemIds.clear();
  damages.clear();
  itemCounts.reserve(static_cast<std::size_t>(count));
  itemIds.reserve(static_cast<std::size_t>(count));
  damages.reserve(static_cast<std::size_t>(count));
  for (short i = 0; i < count; ++i) {
    const short itemId = parseShort(in);
    const bool stack = itemId != -1;
    itemIds.push_back(itemId);
    itemCounts.push_back(stack ? parseByte(in) : 0);
    damages.push_back(stack ? parseShort(in) : 0);
  }
}

void ItemData::parse(WireInput &in) {
  itemType = parseShort(in);
  itemId = parseShort(in);
  length = static_cast<unsigned char>(parseByte(in));
  const std::vector<signed char> bytes = parseByteArray(in, length);
  data.assign(bytes.begin(), bytes.end());
}

} // namespace TSPackets
