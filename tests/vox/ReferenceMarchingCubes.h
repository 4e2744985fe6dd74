#ifndef TESTS_VOX_REFERENCE_MARCHING_CUBES_H
#define TESTS_VOX_REFERENCE_MARCHING_CUBES_H

#include <array>
#include <vector>

#include "TSVoxel.h"
#include "vox/LargeVolume.h"
#include "vox/Region.h"
#include "vox/SurfaceMesh.h"

// The plainest marching cubes: every cell of the region on its own, straight
// from the volume, each triangle with its own three vertices. It follows the
// conventions of Vox::extractMarchingCubes, so that the two can be compared
// triangle for triangle.
using ReferenceTriangle = std::array<Vox::PositionMaterialNormal, 3>;

std::vector<ReferenceTriangle> referenceMarchingCubes(Vox::LargeVolume<TSVoxel>& volume,
                                                      const Vox::Region& region);

#endif
