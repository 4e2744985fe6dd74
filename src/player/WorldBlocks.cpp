#include "player/WorldBlocks.h"

#include "ChunkPosition.h"
#include "world/WorldModel.h"

WorldBlocks::WorldBlocks(WorldModel& world) : m_world(world), m_lock(world.volumeMutex()) {}

std::optional<std::uint8_t> WorldBlocks::blockAt(std::int32_t x, std::int32_t y,
                                                 std::int32_t z) const {
  const ChunkPosition chunk = chunkOfBlock(x, 0, z);
  const auto state = m_world.chunks().find(chunk);
  if (state == m_world.chunks().end() || !state->second.hasBlocks)
    return std::nullopt;
  if (y < 0 || y >= ChunkSizeY)
    return std::uint8_t(0);
  return m_world.volume().getVoxelAt(x, y, z).m_type;
}
