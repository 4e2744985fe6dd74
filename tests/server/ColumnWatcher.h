#ifndef COLUMN_WATCHER_H
#define COLUMN_WATCHER_H

#include <optional>
#include <utility>
#include <vector>

#include "ScriptedClient.h"
#include "terrain/TerrainGenerator.h"

// Follows a client's stream of columns: records loads and unloads, checks
// every column against the terrain, answers keep-alives, and notes the
// position packet and when it came. Other packets are skipped.
class ColumnWatcher {
public:
  ColumnWatcher(ScriptedClient& client, std::int64_t seed) : m_client(client), m_terrain(seed) {}

  // Reads until `count` more columns have been loaded.
  void readLoads(std::size_t count);

  std::vector<std::pair<int, int>> loads;
  std::vector<std::pair<int, int>> unloads;
  std::optional<TSPackets::PlayerPosAndLook> position;
  // How many columns had been loaded when the position came.
  std::size_t loadsBeforePosition = 0;

private:
  void checkColumn(const TSPackets::Prechunk& prechunk, const TSPackets::MapChunk& chunk);

  ScriptedClient& m_client;
  Terrain::TerrainGenerator m_terrain;
};

#endif
