#ifndef VOX_VOLUME_RESAMPLER_H
#define VOX_VOLUME_RESAMPLER_H

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "vox/Region.h"

namespace Vox {

// Copies a region of one volume into an equally sized region of another.
// The voxels pass through a dense buffer kept per thread, so repeated copies
// allocate nothing and each volume is read or written block by block.
template <typename SrcVolume, typename DstVolume> class VolumeResampler {
public:
  VolumeResampler(SrcVolume* source, const Region& sourceRegion, DstVolume* destination,
                  const Region& destinationRegion)
      : m_source(source), m_sourceRegion(sourceRegion), m_destination(destination),
        m_destinationRegion(destinationRegion) {}

  // Throws std::invalid_argument when the two regions differ in size.
  void execute() {
    if (m_sourceRegion.getWidthInVoxels() != m_destinationRegion.getWidthInVoxels() ||
        m_sourceRegion.getHeightInVoxels() != m_destinationRegion.getHeightInVoxels() ||
        m_sourceRegion.getDepthInVoxels() != m_destinationRegion.getDepthInVoxels())
      throw std::invalid_argument("regions of a volume copy must have the same size");
    using Voxel = decltype(m_source->getVoxelAt(0, 0, 0));
    static thread_local std::vector<Voxel> buffer;
    buffer.resize(std::size_t(m_sourceRegion.getWidthInVoxels()) *
                  m_sourceRegion.getHeightInVoxels() * m_sourceRegion.getDepthInVoxels());
    m_source->readRegion(m_sourceRegion, buffer.data());
    m_destination->writeRegion(m_destinationRegion, buffer.data());
  }

private:
  SrcVolume* m_source;
  Region m_sourceRegion;
  DstVolume* m_destination;
  Region m_destinationRegion;
};

} // namespace Vox

#endif
