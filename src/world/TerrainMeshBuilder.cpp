#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "BlockLayers.h"
#include "TerrainMesh.h"

namespace {

using Surface = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;
using Vec = Vox::Vector3DFloat;

const std::uint32_t Unused = std::numeric_limits<std::uint32_t>::max();

// A surface vertex's material is the block type of the solid voxel on its
// edge, carried as a float.
unsigned char blockTypeOf(const Vox::PositionMaterialNormal& vertex) {
  return static_cast<unsigned char>(static_cast<int>(double(vertex.getMaterial()) + 0.5));
}

class TerrainMeshBuilder {
public:
  TerrainMeshBuilder(const Surface& surface, Vec origin, MeshDetail detail)
      : m_surface(surface), m_origin(origin), m_detail(detail),
        m_output(surface.getNoOfVertices(), Unused) {}

  // `triangles` holds the position of each triangle's first index.
  TerrainMesh build(const std::vector<std::size_t>& triangles) {
    const auto& indices = m_surface.getIndices();
    m_indices.reserve(3 * triangles.size());
    for (std::size_t i : triangles)
      addMeshTriangle(indices[i], indices[i + 1], indices[i + 2]);
    return finish();
  }

private:
  Vec positionOf(std::uint32_t index) const { return m_surface.getVertices()[index].getPosition(); }
  unsigned char typeOf(std::uint32_t index) const {
    return blockTypeOf(m_surface.getVertices()[index]);
  }

  std::uint32_t addVertex(Vec relative, unsigned char layer) {
    const Vec world = relative + m_origin;
    m_mesh.vertices.push_back({world.x, world.y, world.z, {0, 0, 0}, std::int16_t(layer)});
    return std::uint32_t(m_mesh.vertices.size() - 1);
  }

  // The output vertex of a surface vertex, with its own block type's layer.
  std::uint32_t corner(std::uint32_t index) {
    std::uint32_t& output = m_output[index];
    if (output == Unused)
      output = addVertex(positionOf(index), layerOfBlockType(typeOf(index)));
    return output;
  }

  // Shared by the two triangles on the edge, once per layer.
  std::uint32_t midpoint(std::uint32_t a, std::uint32_t b, unsigned char layer) {
    const std::uint64_t key =
        ((std::uint64_t(std::min(a, b)) << 24 | std::max(a, b)) << 8) | layer;
    const auto found = m_midpoints.find(key);
    if (found != m_midpoints.end())
      return found->second;
    const std::uint32_t vertex = addVertex((positionOf(a) + positionOf(b)) * 0.5f, layer);
    m_midpoints.emplace(key, vertex);
    return vertex;
  }

  void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    m_indices.push_back(a);
    m_indices.push_back(b);
    m_indices.push_back(c);
  }

  void addCorners(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const std::uint32_t first = corner(a);
    const std::uint32_t second = corner(b);
    addTriangle(first, second, corner(c));
  }

  void addMeshTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const unsigned char ma = typeOf(a), mb = typeOf(b), mc = typeOf(c);
    if (ma == mb && mb == mc) {
      addCorners(a, b, c);
    } else if (m_detail != MeshDetail::Full) {
      addFarTriangle(a, b, c, ma, mb, mc);
    } else {
      addSplitTriangle(a, b, c, ma, mb, mc);
    }
  }

  // True when the edge lies on a side of the chunk, where the neighbouring
  // chunk's mesh has the same edge.
  bool onChunkSide(std::uint32_t p, std::uint32_t q) const {
    const Vec u = positionOf(p), v = positionOf(q);
    const auto same = [](float s, float t, float side) { return s == side && t == side; };
    return same(u.x, v.x, 0) || same(u.x, v.x, float(ChunkSizeX)) || same(u.z, v.z, 0) ||
           same(u.z, v.z, float(ChunkSizeZ));
  }

  // A mesh triangle of several block types far away. Whole, it takes the type
  // two corners share, else the last corner's, by putting such a corner last.
  // An edge between two types is still split where it lies on the chunk's
  // side: the neighbouring chunk, in whatever detail, splits it there too,
  // and a vertex on one side of an edge only would open cracks.
  void addFarTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, unsigned char ma,
                      unsigned char mb, unsigned char mc) {
    const bool ab = ma != mb && onChunkSide(a, b);
    const bool bc = mb != mc && onChunkSide(b, c);
    const bool ca = mc != ma && onChunkSide(c, a);
    const int typeEdges = (ma != mb) + (mb != mc) + (mc != ma);
    if (ab + bc + ca == typeEdges)
      addSplitTriangle(a, b, c, ma, mb, mc);
    else if (ab)
      splitOneEdge(a, b, c);
    else if (bc)
      splitOneEdge(b, c, a);
    else if (ca)
      splitOneEdge(c, a, b);
    else if (ma == mb)
      addCorners(c, a, b);
    else
      addCorners(a, b, c);
  }

  // Triangle p, q, r halved at the midpoint of p-q: each half takes the type
  // of its corner on that edge.
  void splitOneEdge(std::uint32_t p, std::uint32_t q, std::uint32_t r) {
    const std::uint32_t mid = midpoint(p, q, layerOfBlockType(typeOf(p)));
    const std::uint32_t middle = corner(r);
    addTriangle(mid, middle, corner(p));
    addTriangle(middle, mid, corner(q));
  }

  // The sub-triangles of one split mesh triangle. Each is drawn with the
  // layer of `type`, the block type of its corners.
  class Split {
  public:
    Split(TerrainMeshBuilder& builder, std::uint32_t a, std::uint32_t b, std::uint32_t c)
        : m_builder(builder),
          m_centroid((builder.positionOf(a) + builder.positionOf(b) + builder.positionOf(c)) *
                     (1.0f / 3.0f)) {}

    // Corner p, the midpoint of its edge towards q and the centroid, in the
    // order the winding needs.
    void cornerMidpointCentroid(std::uint32_t p, std::uint32_t q, unsigned char type) {
      const unsigned char layer = layerOfBlockType(type);
      m_builder.addTriangle(m_builder.corner(p), m_builder.midpoint(p, q, layer), centroid(layer));
    }
    void cornerCentroidMidpoint(std::uint32_t p, std::uint32_t q, unsigned char type) {
      const unsigned char layer = layerOfBlockType(type);
      m_builder.addTriangle(m_builder.corner(p), centroid(layer), m_builder.midpoint(p, q, layer));
    }
    // Corners p and q and the midpoint of the edge from r to s.
    void twoCornersMidpoint(std::uint32_t p, std::uint32_t q, std::uint32_t r, std::uint32_t s,
                            unsigned char type, bool midpointLast) {
      const unsigned char layer = layerOfBlockType(type);
      const std::uint32_t mid = m_builder.midpoint(r, s, layer);
      if (midpointLast)
        m_builder.addTriangle(m_builder.corner(p), m_builder.corner(q), mid);
      else
        m_builder.addTriangle(m_builder.corner(p), mid, m_builder.corner(q));
    }

  private:
    std::uint32_t centroid(unsigned char layer) {
      for (const auto& [used, vertex] : m_centroids)
        if (used == layer)
          return vertex;
      const std::uint32_t vertex = m_builder.addVertex(m_centroid, layer);
      m_centroids.emplace_back(layer, vertex);
      return vertex;
    }

    TerrainMeshBuilder& m_builder;
    Vec m_centroid;
    std::vector<std::pair<unsigned char, std::uint32_t>> m_centroids;
  };

  void addSplitTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, unsigned char ma,
                        unsigned char mb, unsigned char mc) {
    Split split(*this, a, b, c);
    if (ma == mb) {
      split.twoCornersMidpoint(a, b, b, c, ma, true);       // A, B, M_BC
      split.cornerCentroidMidpoint(a, c, ma);               // A, G, M_AC
      split.cornerMidpointCentroid(c, a, mc);               // C, M_AC, G
      split.cornerCentroidMidpoint(c, b, mc);               // C, G, M_BC
    } else if (ma == mc) {
      split.twoCornersMidpoint(a, c, b, c, ma, false);      // A, M_BC, C
      split.cornerMidpointCentroid(a, b, ma);               // A, M_AB, G
      split.cornerCentroidMidpoint(b, a, mb);               // B, G, M_AB
      split.cornerMidpointCentroid(b, c, mb);               // B, M_BC, G
    } else if (mb == mc) {
      split.twoCornersMidpoint(c, b, a, c, mb, false);      // C, M_AC, B
      split.cornerCentroidMidpoint(b, a, mb);               // B, G, M_AB
      split.cornerMidpointCentroid(a, b, ma);               // A, M_AB, G
      split.cornerCentroidMidpoint(a, c, ma);               // A, G, M_AC
    } else {
      split.cornerMidpointCentroid(c, a, mc);               // C, M_AC, G
      split.cornerCentroidMidpoint(c, b, mc);               // C, G, M_BC
      split.cornerCentroidMidpoint(b, a, mb);               // B, G, M_AB
      split.cornerMidpointCentroid(b, c, mb);               // B, M_BC, G
      split.cornerMidpointCentroid(a, b, ma);               // A, M_AB, G
      split.cornerCentroidMidpoint(a, c, ma);               // A, G, M_AC
    }
  }

  TerrainMesh finish() {
    if (m_mesh.vertices.size() <= std::size_t(std::numeric_limits<std::uint16_t>::max()) + 1)
      m_mesh.shortIndices.assign(m_indices.begin(), m_indices.end());
    else
      m_mesh.longIndices = std::move(m_indices);
    if (!m_mesh.vertices.empty()) {
      const TerrainVertex& first = m_mesh.vertices.front();
      m_mesh.lower = m_mesh.upper = Vec(first.x, first.y, first.z);
    }
    for (const TerrainVertex& v : m_mesh.vertices) {
      m_mesh.lower = Vec(std::min(m_mesh.lower.x, v.x), std::min(m_mesh.lower.y, v.y),
                         std::min(m_mesh.lower.z, v.z));
      m_mesh.upper = Vec(std::max(m_mesh.upper.x, v.x), std::max(m_mesh.upper.y, v.y),
                         std::max(m_mesh.upper.z, v.z));
    }
    return std::move(m_mesh);
  }

  const Surface& m_surface;
  Vec m_origin;
  MeshDetail m_detail;
  std::vector<std::uint32_t> m_output;
  std::unordered_map<std::uint64_t, std::uint32_t> m_midpoints;
  std::vector<std::uint32_t> m_indices;
  TerrainMesh m_mesh;
};

// Where the triangles of the surface's level-of-detail record start.
std::vector<std::size_t> surfaceTriangles(const Surface& surface) {
  std::size_t begin = 0, end = surface.getNoOfIndices();
  if (!surface.m_vecLodRecords.empty()) {
    begin = std::size_t(std::max(0, surface.m_vecLodRecords.front().beginIndex));
    end = std::min(end, std::size_t(std::max(0, surface.m_vecLodRecords.front().endIndex)));
  }
  std::vector<std::size_t> triangles;
  for (std::size_t i = begin; i + 2 < end; i += 3)
    triangles.push_back(i);
  return triangles;
}

// A marching-cubes triangle lies inside its cell, so its centroid tells the
// section of the cell.
int sectionOf(const Surface& surface, std::size_t triangle) {
  const auto& vertices = surface.getVertices();
  const auto& indices = surface.getIndices();
  const float y = (vertices[indices[triangle]].getPosition().y +
                   vertices[indices[triangle + 1]].getPosition().y +
                   vertices[indices[triangle + 2]].getPosition().y) /
                  3.0f;
  return std::clamp(int(std::floor(y / float(SectionHeight))), 0, SectionsPerColumn - 1);
}

} // namespace

TerrainMesh buildTerrainMesh(const Surface& surface, Vec origin, MeshDetail detail) {
  return TerrainMeshBuilder(surface, origin, detail).build(surfaceTriangles(surface));
}

SectionMeshes buildSectionMeshes(const Surface& surface, Vec origin, MeshDetail detail) {
  std::array<std::vector<std::size_t>, SectionsPerColumn> bySection;
  for (std::size_t triangle : surfaceTriangles(surface))
    bySection[std::size_t(sectionOf(surface, triangle))].push_back(triangle);
  SectionMeshes sections;
  for (int section = 0; section < SectionsPerColumn; ++section)
    sections[section] = TerrainMeshBuilder(surface, origin, detail).build(bySection[section]);
  return sections;
}
