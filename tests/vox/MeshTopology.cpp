#include "MeshTopology.h"

#include <cstdint>
#include <map>
#include <utility>

namespace {

Vox::Vector3DFloat cross(Vox::Vector3DFloat u, Vox::Vector3DFloat v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

} // namespace

EdgeUse edgeUse(const TestMesh& mesh) {
  // Directed uses per undirected edge (lower index first): forward, backward.
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::pair<int, int>> uses;
  const auto& indices = mesh.getIndices();
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3)
    for (int k = 0; k < 3; ++k) {
      const std::uint32_t a = indices[i + k];
      const std::uint32_t b = indices[i + (k + 1) % 3];
      auto& use = uses[{std::min(a, b), std::max(a, b)}];
      (a < b ? use.first : use.second) += 1;
    }
  EdgeUse result;
  for (const auto& entry : uses) {
    const int forward = entry.second.first;
    const int backward = entry.second.second;
    const int total = forward + backward;
    result.boundary += total == 1;
    result.overused += total > 2;
    result.inconsistent += total == 2 && forward != 1;
  }
  return result;
}

float windingAlong(const TestMesh& mesh, std::size_t triangle, Vox::Vector3DFloat direction) {
  const auto& indices = mesh.getIndices();
  const auto& vertices = mesh.getVertices();
  const Vox::Vector3DFloat a = vertices[indices[3 * triangle]].getPosition();
  const Vox::Vector3DFloat b = vertices[indices[3 * triangle + 1]].getPosition();
  const Vox::Vector3DFloat c = vertices[indices[3 * triangle + 2]].getPosition();
  const Vox::Vector3DFloat n = cross(b - a, c - a);
  return n.x * direction.x + n.y * direction.y + n.z * direction.z;
}
