#include "ReferenceMarchingCubes.h"

#include <cmath>

#include "vox/MarchingCubesTables.h"

namespace {

using Vox::Vector3DFloat;
using Vox::Vector3DInt32;

// Corner i of the tables' cell in the tables' own axes.
constexpr int cornerOffsets[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                     {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// The tables' x, y and z laid on world y, z and x, as the extractor lays
// them: a rotation, and the same choice in the cases marching cubes can split
// two ways.
Vector3DInt32 cornerOf(Vector3DInt32 cell, int corner) {
  const int* offset = cornerOffsets[corner];
  return cell + Vector3DInt32(offset[2], offset[0], offset[1]);
}

class ReferenceMesher {
public:
  ReferenceMesher(Vox::LargeVolume<TSVoxel>& volume, const Vox::Region& region)
      : m_volume(volume), m_origin(region.getLowerCorner()) {}

  void addCell(Vector3DInt32 cell, std::vector<ReferenceTriangle>& triangles) {
    unsigned cube = 0;
    for (int corner = 0; corner < 8; ++corner)
      if (density(cornerOf(cell, corner)) < TSVoxel::getThreshold())
        cube |= 1u << corner;
    const std::int8_t* edges = Vox::triTable[cube];
    for (int i = 0; edges[i] != -1; i += 3)
      triangles.push_back({edgeVertex(cell, edges[i]), edgeVertex(cell, edges[i + 1]),
                           edgeVertex(cell, edges[i + 2])});
  }

private:
  float density(Vector3DInt32 p) { return m_volume.getVoxelAt(p).getDensity(); }

  // Central differences, pointing towards lower density.
  Vector3DFloat gradient(Vector3DInt32 p) {
    return {density(p - Vector3DInt32(1, 0, 0)) - density(p + Vector3DInt32(1, 0, 0)),
            density(p - Vector3DInt32(0, 1, 0)) - density(p + Vector3DInt32(0, 1, 0)),
            density(p - Vector3DInt32(0, 0, 1)) - density(p + Vector3DInt32(0, 0, 1))};
  }

  // The crossing on an edge, measured from its lower end.
  Vox::PositionMaterialNormal edgeVertex(Vector3DInt32 cell, int edge) {
    Vector3DInt32 low = cornerOf(cell, Vox::edgeCorners[edge][0]);
    Vector3DInt32 high = cornerOf(cell, Vox::edgeCorners[edge][1]);
    if (high < low)
      std::swap(low, high);
    const Vector3DInt32 step = high - low;
    const Vector3DFloat axis(float(step.x), float(step.y), float(step.z));
    const float d0 = density(low);
    const float d1 = density(high);
    const float t = (float(TSVoxel::getThreshold()) - d0) / (d1 - d0);

    const Vector3DInt32 relative = low - m_origin;
    const Vector3DFloat position =
        Vector3DFloat(float(relative.x), float(relative.y), float(relative.z)) + axis * t;
    Vector3DFloat normal = gradient(low) * (1.0f - t) + gradient(high) * t;
    const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    normal = length > 0.0f ? normal * (1.0f / length) : axis * (d1 < d0 ? 1.0f : -1.0f);
    const float material =
        float(m_volume.getVoxelAt(low).getMaterial() | m_volume.getVoxelAt(high).getMaterial());
    return {position, normal, material};
  }

  Vox::LargeVolume<TSVoxel>& m_volume;
  Vector3DInt32 m_origin;
};

} // namespace

std::vector<ReferenceTriangle> referenceMarchingCubes(Vox::LargeVolume<TSVoxel>& volume,
                                                      const Vox::Region& region) {
  ReferenceMesher mesher(volume, region);
  std::vector<ReferenceTriangle> triangles;
  const Vector3DInt32 lower = region.getLowerCorner();
  const Vector3DInt32 upper = region.getUpperCorner();
  for (std::int32_t x = lower.x; x < upper.x; ++x)
    for (std::int32_t y = lower.y; y < upper.y; ++y)
      for (std::int32_t z = lower.z; z < upper.z; ++z)
        mesher.addCell({x, y, z}, triangles);
  return triangles;
}
