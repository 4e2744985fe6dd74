#include "world/ChunkPackets.h"

#include <cstdint>
#include <iostream>
#include <limits>
#include <vector>

#include "world/BlockEdits.h"
#include "world/VoxelModifier.h"
#include "world/WorldModel.h"

namespace ChunkPackets {

namespace {

// Keeps the column, the chunks around it and the mesher's border around
// those within 32-bit block coordinates.
bool inHorizontalRange(std::int64_t corner) {
  const std::int32_t margin = 3 * ChunkSizeX;
  return corner >= std::numeric_limits<std::int32_t>::min() + margin &&
         corner <= std::numeric_limits<std::int32_t>::max() - margin;
}

bool columnInRange(ChunkPosition chunk) {
  return inHorizontalRange(std::int64_t(chunk.x) * ChunkSizeX) &&
         inHorizontalRange(std::int64_t(chunk.z) * ChunkSizeZ);
}

} // namespace

void apply(WorldModel& world, const TSPackets::Prechunk& packet) {
  const ChunkPosition position(packet.chunkX, 0, packet.chunkZ);
  if (packet.mode == 1)
    world.loadChunk(position);
  else
    world.unloadChunk(position);
}

void apply(WorldModel& world, const TSPackets::MapChunk& packet) {
  if (packet.type.empty())
    return;
  // Only whole columns are applied.
  if (packet.sizeX != ChunkSizeX - 1 || packet.sizeY != ChunkSizeY - 1 ||
      packet.sizeZ != ChunkSizeZ - 1)
    return;
  if (packet.y < 0 || packet.y >= ChunkSizeY || packet.type.size() != ChunkBlocks) {
    std::cout << "ignored map chunk outside the world's single layer at y " << packet.y
              << std::endl;
    return;
  }
  if (!inHorizontalRange(packet.x) || !inHorizontalRange(packet.z)) {
    std::cout << "ignored map chunk beyond the edge of the world at " << packet.x << ", "
              << packet.z << std::endl;
    return;
  }
  const ChunkPosition chunk = chunkOfBlock(packet.x, packet.y, packet.z);
  // Room is made before the blocks are written, while the volume is not
  // locked yet.
  if (!world.isLoaded(chunk) && !world.mayLoad(chunk))
    return;
  const std::int32_t x0 = packet.x, y0 = packet.y, z0 = packet.z;
  VoxelModifier modifier(world, chunk);
  const signed char* next = packet.type.data();
  for (std::int32_t x = x0; x < x0 + ChunkSizeX; ++x)
    for (std::int32_t z = z0; z < z0 + ChunkSizeZ; ++z)
      for (std::int32_t y = y0; y < y0 + ChunkSizeY; ++y)
        modifier.setVoxelAt(x, y, z, TSVoxel(static_cast<std::uint8_t>(*next++)));
}

void apply(WorldModel& world, const TSPackets::MultiBlockChange& packet) {
  const ChunkPosition chunk(packet.chunkX, 0, packet.chunkZ);
  if (!columnInRange(chunk)) {
    std::cout << "ignored block changes beyond the edge of the world in chunk " << chunk.x
              << ", " << chunk.z << std::endl;
    return;
  }
  std::size_t outside = 0;
  const std::vector<BlockEdit> edits = multiBlockEdits(packet, outside);
  if (outside > 0)
    std::cout << "ignored " << outside << " block changes outside the world's single layer in chunk "
              << chunk.x << ", " << chunk.z << std::endl;
  applyBlockEdits(world, edits);
}

void apply(WorldModel& world, const TSPackets::BlockChange& packet) {
  if (packet.y < 0) {
    std::cout << "ignored block change outside the world's single layer at y " << int(packet.y)
              << std::endl;
    return;
  }
  if (!columnInRange(chunkOfBlock(packet.x, packet.y, packet.z))) {
    std::cout << "ignored block change beyond the edge of the world at " << packet.x << ", "
              << packet.z << std::endl;
    return;
  }
  applyBlockEdits(world, {{{packet.x, packet.y, packet.z},
                           TSVoxel(static_cast<std::uint8_t>(packet.blockType))}});
}

} // namespace ChunkPackets
