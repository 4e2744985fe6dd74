#ifndef VOX_MARCHING_CUBES_TABLES_H
#define VOX_MARCHING_CUBES_TABLES_H

#include <cstdint>

namespace Vox {

// The classic marching-cubes tables. Corner i of a cell sets bit i of the
// case index when its density is below the threshold. Corners: 0 (0,0,0),
// 1 (1,0,0), 2 (1,1,0), 3 (0,1,0), 4 (0,0,1), 5 (1,0,1), 6 (1,1,1),
// 7 (0,1,1). Edges: 0 0-1, 1 1-2, 2 2-3, 3 3-0, 4 4-5, 5 5-6, 6 6-7, 7 7-4,
// 8 0-4, 9 1-5, 10 2-6, 11 3-7.

// Per case, bit e set when edge e joins a corner below the threshold to one
// that is not.
extern const std::uint16_t edgeTable[256];

// Per case, up to five triangles as edge numbers, ended by -1.
extern const std::int8_t triTable[256][16];

// The two corners each edge joins.
extern const std::uint8_t edgeCorners[12][2];

} // namespace Vox

#endif
