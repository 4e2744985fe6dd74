#ifndef VOX_SURFACE_EXTRACTOR_H
#define VOX_SURFACE_EXTRACTOR_H

#include <cstddef>
#include <vector>

#include "vox/DensityGrid.h"
#include "vox/MarchingCubes.h"
#include "vox/Region.h"
#include "vox/SurfaceMesh.h"

namespace Vox {

// The extractor reads this many voxels beyond its region on every side, for
// the central-difference gradients of the outermost corners.
constexpr int SurfaceExtractorPadding = 1;

// Marching cubes over a region of a volume. The region's voxels are the cell
// corners; the gradients also read one voxel beyond it on every side. The
// mesh is replaced, with positions relative to the region's lower corner and
// one level-of-detail record over all indices.
template <typename Volume> class SurfaceExtractor {
public:
  SurfaceExtractor(Volume* volume, const Region& region, SurfaceMesh<PositionMaterialNormal>* mesh)
      : m_volume(volume), m_region(region), m_mesh(mesh) {}

  void execute() {
    const Vector3DInt32 padding(SurfaceExtractorPadding, SurfaceExtractorPadding,
                                SurfaceExtractorPadding);
    const Region padded(m_region.getLowerCorner() - padding, m_region.getUpperCorner() + padding);
    using Voxel = decltype(m_volume->getVoxelAt(0, 0, 0));
    static thread_local std::vector<Voxel> voxels;
    DensityGrid& grid = threadDensityGrid();
    grid.resize(padded.getWidthInVoxels(), padded.getHeightInVoxels(), padded.getDepthInVoxels());
    voxels.resize(std::size_t(grid.width()) * grid.height() * grid.depth());
    m_volume->readRegion(padded, voxels.data());

    grid.threshold = Voxel().getThreshold();
    std::uint8_t* densities = grid.densities();
    std::uint8_t* materials = grid.materials();
    for (std::size_t i = 0; i < voxels.size(); ++i) {
      densities[i] = voxels[i].getDensity();
      materials[i] = voxels[i].getMaterial();
    }
    m_mesh->clear();
    extractMarchingCubes(grid, *m_mesh);
  }

private:
  Volume* m_volume;
  Region m_region;
  SurfaceMesh<PositionMaterialNormal>* m_mesh;
};

} // namespace Vox

#endif
