#ifndef VOX_REGION_H
#define VOX_REGION_H

#include "vox/Vector.h"

namespace Vox {

// A box of voxels with inclusive lower and upper corners.
class Region {
public:
  constexpr Region() = default;
  constexpr Region(Vector3DInt32 lower, Vector3DInt32 upper) : m_lower(lower), m_upper(upper) {}

  constexpr Vector3DInt32 getLowerCorner() const { return m_lower; }
  constexpr Vector3DInt32 getUpperCorner() const { return m_upper; }
  // Extents counted in voxels (upper - lower + 1).
  constexpr std::int32_t getWidthInVoxels() const { return m_upper.x - m_lower.x + 1; }
  constexpr std::int32_t getHeightInVoxels() const { return m_upper.y - m_lower.y + 1; }
  constexpr std::int32_t getDepthInVoxels() const { return m_upper.z - m_lower.z + 1; }
  constexpr bool containsPoint(Vector3DInt32 p) const {
    return p.x >= m_lower.x && p.y >= m_lower.y && p.z >= m_lower.z && p.x <= m_upper.x &&
           p.y <= m_upper.y && p.z <= m_upper.z;
  }

private:
  Vector3DInt32 m_lower;
  Vector3DInt32 m_upper;
};

} // namespace Vox

#endif
