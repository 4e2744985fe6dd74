#ifndef PLAYER_BLOCK_SOURCE_H
#define PLAYER_BLOCK_SOURCE_H

// The blocks the player's movement and aim read: a block type, or nothing
// where the server has not sent the column yet.

#include <cstdint>
#include <optional>

class BlockSource {
public:
  virtual ~BlockSource() = default;
  virtual std::optional<std::uint8_t> blockAt(std::int32_t x, std::int32_t y,
                                              std::int32_t z) const = 0;
};

#endif
