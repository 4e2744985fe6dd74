#ifndef COLUMN_STREAMER_H
#define COLUMN_STREAMER_H

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Server {

// Which columns one client holds, and the next step that brings them in line
// with the view square around the player's column: columns that fell out of
// range are unloaded first, then missing ones are loaded nearest first. The
// game thread moves the centre; the client's writer thread takes the steps.
class ColumnStreamer {
public:
  explicit ColumnStreamer(int viewRadius);

  void setCenter(std::int32_t chunkX, std::int32_t chunkZ);
  // The client has dropped every column (a new world): all are sent again
  // around the new centre, and `bytes` (the player's place) once the ground
  // there is in.
  void restart(std::int32_t chunkX, std::int32_t chunkZ, std::string bytes);

  // Bytes to send once the columns within one of the centre are loaded, so
  // that a player is placed on ground that is already there.
  void holdUntilNearLoaded(std::string bytes);

  struct Step {
    enum class Kind { Load, Unload, Release } kind;
    std::int32_t chunkX = 0;
    std::int32_t chunkZ = 0;
    std::string bytes; // Release only
  };
  // The next step, already counted as done; nothing when in line.
  std::optional<Step> next();

  bool loaded(std::int32_t chunkX, std::int32_t chunkZ) const;
  std::size_t loadedCount() const;

private:
  using Key = std::pair<std::int32_t, std::int32_t>;

  bool inRange(Key column) const;
  bool nearLoaded() const;

  const int m_radius;
  // Offsets within the view square, nearest first.
  std::vector<Key> m_offsets;
  mutable std::mutex m_mutex;
  bool m_hasCenter = false;
  Key m_center{0, 0};
  std::set<Key> m_loaded;
  std::optional<std::string> m_held;
};

} // namespace Server

#endif
