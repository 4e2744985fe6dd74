#ifndef TERRAIN_MESH_H
#define TERRAIN_MESH_H

// A chunk's surface as the terrain programs draw it: an indexed triangle
// list in world space. Each triangle has one texture layer on all three
// corners; triangles whose marching-cubes corners carry different block types
// are split into sub-triangles of one type each. The mesh worker builds it,
// the main thread only copies the arrays into the chunk's buffers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ChunkGeometry.h"
#include "vox/SurfaceMesh.h"
#include "vox/Vector.h"

// One vertex as the terrain vertex program reads it: the world position,
// then texture coordinate set 0 as four shorts whose last one is the layer.
struct TerrainVertex {
  float x, y, z;
  std::int16_t unused[3];
  std::int16_t layer;
};
static_assert(sizeof(TerrainVertex) == 20, "the vertex buffer layout has no padding");

struct TerrainMesh {
  std::vector<TerrainVertex> vertices;
  // Exactly one of the two is filled: 16-bit indices while every vertex can
  // be reached with them.
  std::vector<std::uint16_t> shortIndices;
  std::vector<std::uint32_t> longIndices;
  // The box around every vertex.
  Vox::Vector3DFloat lower;
  Vox::Vector3DFloat upper;

  bool empty() const { return vertices.empty(); }
  std::size_t indexCount() const { return shortIndices.size() + longIndices.size(); }
  std::size_t bytes() const {
    return vertices.size() * sizeof(TerrainVertex) + shortIndices.size() * sizeof(std::uint16_t) +
           longIndices.size() * sizeof(std::uint32_t);
  }
};

// How a mesh shows where block types meet. Near the eye a triangle whose
// corners differ is split as described below. Far away the split's extra
// triangles cost more than they show: a triangle mostly stays whole and takes
// one block type, that of two corners sharing one, else that of its last
// corner. The surface is the same either way. Coarse is Far over a coarse
// surface of about a quarter of the triangles (see CoarseSurface.h).
enum class MeshDetail { Full, Far, Coarse };

// What the mesh worker is asked to build for a chunk: the detail, and for a
// coarse chunk the sides (ChunkSide bits) where a finer neighbour meets it.
struct MeshLevel {
  MeshDetail detail = MeshDetail::Full;
  unsigned finerSides = 0;

  friend bool operator==(MeshLevel a, MeshLevel b) {
    return a.detail == b.detail && a.finerSides == b.finerSides;
  }
  friend bool operator!=(MeshLevel a, MeshLevel b) { return !(a == b); }
};

// The terrain mesh of one chunk's marching-cubes surface, whose positions are
// relative to `origin`, the chunk's lowest block in world space.
//
// A triangle whose corners share a block type is kept as it is. Otherwise it
// is split at its edge midpoints and centroid: a corner whose type differs
// from both others gets the quadrilateral of the corner, its two edge
// midpoints and the centroid; two corners of one type share the rest; three
// types get a third each. A corner only ever lies in sub-triangles of its own
// type, so the surface's vertices are shared as they are; a midpoint or
// centroid is one vertex per layer that uses it. Windings are kept.
//
// With MeshDetail::Far or Coarse a triangle is split only where an edge
// between two block types lies on a side of the chunk (the neighbouring
// chunk's mesh of the same resolution, in either detail, has that edge
// split, so no crack opens between them):
// all of it as above when all such edges lie there, else in two halves at
// the one edge that does. Otherwise it stays whole on the surface's own
// vertices. A triangle's corners are ordered (winding kept) so that a corner
// of its block type comes last, since the programs take a triangle's layer
// from its last corner; a half takes the type of its corner on the split
// edge.
TerrainMesh buildTerrainMesh(const Vox::SurfaceMesh<Vox::PositionMaterialNormal>& surface,
                             Vox::Vector3DFloat origin, MeshDetail detail = MeshDetail::Full);

// The same, one mesh per section of the column: each marching-cubes
// triangle goes to the section of the cell it lies in.
using SectionMeshes = std::array<TerrainMesh, SectionsPerColumn>;
SectionMeshes buildSectionMeshes(const Vox::SurfaceMesh<Vox::PositionMaterialNormal>& surface,
                                 Vox::Vector3DFloat origin, MeshDetail detail = MeshDetail::Full);

#endif
