#ifndef TERRAIN_FOG_H
#define TERRAIN_FOG_H

// Distance fog of the terrain programs: beyond `start` blocks from the eye,
// measured across the ground, the terrain fades linearly into the fog
// colour, and from `end` on it is that colour alone. The fog colour is the
// sky's, so the edge of the loaded world melts into the background instead
// of ending in a hard line.

struct FogRange {
  float start;
  float end;
};

// No fog at any distance.
constexpr FogRange NoFog{1e30f, 2e30f};

// The fog that hides the edge of a world reaching `reachColumns` columns
// around the eye's column: opaque half a column beyond the last one in the
// straight directions, clear over the nearer part of the world.
FogRange fogRangeFor(int reachColumns);

#endif
