#ifndef MOB_HERD_H
#define MOB_HERD_H

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "server/EntityMotion.h"
#include "terrain/TerrainGenerator.h"

namespace Server {

// Mob types the herd cycles through: two with a look of their own in the
// client and one it shows as an unknown mob.
constexpr signed char MobTypes[] = {50, 51, 90};

// The topmost block that is not air at (x, z), plus one: where something
// standing there has its feet (on water too).
int surfaceY(const Terrain::TerrainGenerator& terrain, std::int32_t x, std::int32_t z);

// A few mobs wandering around a home point on the terrain's surface. Each
// step moves, turns, teleports, or removes and later respawns some of them,
// and yields the packets that tell every player about it. The same seed
// gives the same story, step by step.
class MobHerd {
public:
  struct Mob {
    int entityId = 0;
    signed char type = 0;
    FixedPosition position;
    signed char yaw = 0;
    signed char pitch = 0;
    bool alive = true;
    int respawnIn = 0;
  };

  MobHerd(const Terrain::TerrainGenerator& terrain, std::int64_t seed, int count, int homeX,
          int homeZ, int firstEntityId);

  // What a player who arrives now needs to see every living mob.
  std::vector<std::string> spawnPackets() const;
  std::vector<std::string> step();

  const std::vector<Mob>& mobs() const { return m_mobs; }

private:
  int randomInt(int low, int high);
  FixedPosition randomSpot();
  FixedPosition onSurface(int fixedX, int fixedZ) const;
  std::string spawnPacket(const Mob& mob) const;
  void walk(Mob& mob, bool turn, std::vector<std::string>& packets);
  void stepMob(Mob& mob, std::vector<std::string>& packets);

  const Terrain::TerrainGenerator& m_terrain;
  std::mt19937_64 m_random;
  const int m_homeX;
  const int m_homeZ;
  int m_nextEntityId;
  std::vector<Mob> m_mobs;
};

} // namespace Server

#endif
