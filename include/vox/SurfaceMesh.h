#ifndef VOX_SURFACE_MESH_H
#define VOX_SURFACE_MESH_H

#include <cstdint>
#include <vector>

#include "vox/Vector.h"

namespace Vox {

// A surface vertex: position, normal and the material of the solid side.
struct PositionMaterialNormal {
  Vector3DFloat position;
  Vector3DFloat normal;
  float material = 0;

  PositionMaterialNormal() = default;
  PositionMaterialNormal(Vector3DFloat position, Vector3DFloat normal, float material)
      : position(position), normal(normal), material(material) {}

  Vector3DFloat getPosition() const { return position; }
  Vector3DFloat getNormal() const { return normal; }
  float getMaterial() const { return material; }
  void setPosition(Vector3DFloat value) { position = value; }
  void setNormal(Vector3DFloat value) { normal = value; }
  void setMaterial(float value) { material = value; }
};

// A range [beginIndex, endIndex) of a mesh's index list.
struct LodRecord {
  int beginIndex;
  int endIndex;
};

// An indexed triangle list; three indices per triangle.
template <typename Vertex> class SurfaceMesh {
public:
  const std::vector<Vertex>& getVertices() const { return m_vertices; }
  const std::vector<std::uint32_t>& getIndices() const { return m_indices; }
  std::size_t getNoOfVertices() const { return m_vertices.size(); }
  std::size_t getNoOfIndices() const { return m_indices.size(); }

  std::uint32_t addVertex(const Vertex& vertex) {
    m_vertices.push_back(vertex);
    return static_cast<std::uint32_t>(m_vertices.size() - 1);
  }

  void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    m_indices.push_back(a);
    m_indices.push_back(b);
    m_indices.push_back(c);
  }

  void clear() {
    m_vertices.clear();
    m_indices.clear();
    m_vecLodRecords.clear();
  }

  // Room for the expected size, so that building does not reallocate.
  void reserve(std::size_t vertices, std::size_t indices) {
    m_vertices.reserve(vertices);
    m_indices.reserve(indices);
  }

  std::vector<LodRecord> m_vecLodRecords;

private:
  std::vector<Vertex> m_vertices;
  std::vector<std::uint32_t> m_indices;
};

} // namespace Vox

#endif
