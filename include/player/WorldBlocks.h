#ifndef PLAYER_WORLD_BLOCKS_H
#define PLAYER_WORLD_BLOCKS_H

// The world model's blocks as the player's mechanics read them: nothing
// where the server has not sent the column's blocks, air above and below
// the world's single layer of chunks. The volume stays locked while the
// object lives, so that a tick's reads see one state of the world.

#include <mutex>

#include "player/BlockSource.h"

class WorldModel;

class WorldBlocks final : public BlockSource {
public:
  explicit WorldBlocks(WorldModel& world);

  std::optional<std::uint8_t> blockAt(std::int32_t x, std::int32_t y,
                                      std::int32_t z) const override;

private:
  WorldModel& m_world;
  std::lock_guard<std::mutex> m_lock;
};

#endif
