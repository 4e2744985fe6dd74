#ifndef VOX_MARCHING_CUBES_H
#define VOX_MARCHING_CUBES_H

#include "vox/DensityGrid.h"
#include "vox/SurfaceMesh.h"

namespace Vox {

// Appends to `mesh` the marching-cubes surface of `grid` without its outer
// layer of voxels: that layer only feeds the gradients of the corners inside
// it. Positions are relative to the first corner inside the layer. Each
// vertex lies on a cell edge where the density crosses the threshold, with
// the bitwise OR of both ends' materials and the normalised central-difference
// gradient pointing away from the dense side. Triangles are counter-clockwise
// seen from the side below the threshold; vertices are shared between cells.
void extractMarchingCubes(const DensityGrid& grid, SurfaceMesh<PositionMaterialNormal>& mesh);

// A grid kept for the calling thread, so that extractions reuse its storage.
DensityGrid& threadDensityGrid();

} // namespace Vox

#endif
