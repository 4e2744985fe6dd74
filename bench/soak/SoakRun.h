#ifndef BENCH_SOAK_SOAK_RUN_H
#define BENCH_SOAK_SOAK_RUN_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One minute of the walk, as it stood at the minute's end.
struct MinuteSample {
  int minute = 0;
  long residentKiB = -1;
  // The player's column as the server last logged it, and how many columns
  // the player has entered since the walk began.
  std::int64_t columnX = 0;
  std::int64_t columnZ = 0;
  long columnsEntered = 0;
  // During the minute: chunk meshes drawn and ticks run.
  long meshesDrawn = 0;
  long ticks = 0;
  // Chunk objects on screen in the minute's last frame: the server unloads
  // the columns behind the player, so these stay near its view square.
  long chunkObjects = -1;
};

struct SoakRecord {
  int viewRadius = 0;
  long emptyResidentKiB = -1;
  std::vector<MinuteSample> minutes;
  // Falls that killed the walker; each time it respawned and walked on.
  int deaths = 0;
  // Why the walk ended early, if it did.
  std::string failure;
  std::optional<int> clientExit;
};

// Starts the local server at `viewRadius` and the client on the current
// display, connects, and once the server has placed the player holds the
// run and forward keys for `minutes` minutes, sampling the client each
// minute; then quits. Throws std::runtime_error when a step cannot happen
// at all (a program that does not start, no window, no Login); a walk cut
// short comes back with `failure` set and the minutes it had.
SoakRecord runSoak(int minutes, int viewRadius);

#endif
