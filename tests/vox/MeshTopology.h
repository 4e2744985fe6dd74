#ifndef TESTS_VOX_MESH_TOPOLOGY_H
#define TESTS_VOX_MESH_TOPOLOGY_H

#include <cstddef>

#include "vox/SurfaceMesh.h"

using TestMesh = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;

struct EdgeUse {
  // Undirected edges used by exactly one triangle (holes, open borders).
  std::size_t boundary = 0;
  // Undirected edges used by more than two triangles.
  std::size_t overused = 0;
  // Edges whose two triangles run along them in the same direction, i.e. with
  // opposite windings.
  std::size_t inconsistent = 0;
};

// How the triangles of `mesh` share their edges. A closed, consistently wound
// surface has all three counts zero.
EdgeUse edgeUse(const TestMesh& mesh);

// Twice the triangle's area along its normal (b - a) x (c - a), dotted with
// `direction`.
float windingAlong(const TestMesh& mesh, std::size_t triangle, Vox::Vector3DFloat direction);

#endif
