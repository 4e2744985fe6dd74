#include "vox/MarchingCubes.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "vox/MarchingCubesTables.h"

namespace Vox {

namespace {

using Mesh = SurfaceMesh<PositionMaterialNormal>;

// Vertex indices of the crossing edges of one corner plane (u- and v-edges)
// or of the slab between two planes (w-edges), by corner. Entries of edges
// without a crossing are stale: cells only read edges their case crosses.
using EdgePlane = std::vector<std::uint32_t>;

// Where each cell edge's vertex index lives: which plane array and the offset
// of its starting corner from the cell's lowest corner. The table's x, y and
// z are the grid's u, v and w.
enum EdgeSource : std::uint8_t { ULow, UHigh, VLow, VHigh, WSlab };
struct EdgeLocation {
  EdgeSource source;
  std::uint8_t du;
  std::uint8_t dv;
};
constexpr EdgeLocation edgeLocations[12] = {
    {ULow, 0, 0},  {VLow, 1, 0},  {ULow, 0, 1},  {VLow, 0, 0},
    {UHigh, 0, 0}, {VHigh, 1, 0}, {UHigh, 0, 1}, {VHigh, 0, 0},
    {WSlab, 0, 0}, {WSlab, 1, 0}, {WSlab, 1, 1}, {WSlab, 0, 1},
};

std::uint64_t loadWord(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Calls f(i) for every i below n where the 0/1 flags a[i] and b[i] differ,
// comparing eight flags at a time (little-endian byte order): most flags
// match their neighbours.
template <typename F>
void forEachDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n, F&& f) {
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8)
    for (std::uint64_t diff = loadWord(a + i) ^ loadWord(b + i); diff != 0; diff &= diff - 1)
      f(i + std::size_t(__builtin_ctzll(diff)) / 8);
  for (; i < n; ++i)
    if (a[i] != b[i])
      f(i);
}

// Face codes of eight cells that are all outside (0) or all inside (15).
bool allOutside(std::uint64_t codes) { return codes == 0; }
bool allInside(std::uint64_t codes) { return codes == 0x0F0F0F0F0F0F0F0Full; }

// Buffers reused by every extraction on a thread.
struct Scratch {
  EdgePlane uEdges[2], vEdges[2], wEdges;
  // Per corner plane: bit i set when corner i of the cell's lower face
  // (0 to 3) is below the threshold.
  std::vector<std::uint8_t> faceCodes[2];
  std::vector<std::uint8_t> below[2];
  std::size_t lastVertices = 0;
  std::size_t lastIndices = 0;
};

// Marching cubes run on the grid's memory axes u (world y, fastest), v
// (world z) and w (world x), sweeping corner planes along w. The relabelling
// (x, y, z) -> (u, v, w) is a rotation, so windings keep their sense.
class Builder {
public:
  Builder(const DensityGrid& grid, Mesh& mesh, Scratch& scratch)
      : m_grid(grid), m_mesh(mesh), m_s(scratch), m_density(grid.densities()),
        m_material(grid.materials()), m_threshold(grid.threshold), m_cornersU(grid.height() - 2),
        m_cornersV(grid.depth() - 2), m_cornersW(grid.width() - 2),
        m_stepV(std::size_t(grid.height())), m_stepW(m_stepV * std::size_t(grid.depth())) {}

  void run() {
    if (m_cornersU < 2 || m_cornersV < 2 || m_cornersW < 2)
      return;
    const std::size_t planeSize = std::size_t(m_cornersU) * m_cornersV;
    for (int i = 0; i < 2; ++i) {
      m_s.uEdges[i].resize(planeSize);
      m_s.vEdges[i].resize(planeSize);
      m_s.faceCodes[i].resize(planeSize);
      m_s.below[i].resize(planeSize);
    }
    m_s.wEdges.resize(planeSize);
    m_mesh.reserve(m_s.lastVertices, m_s.lastIndices);

    int low = 0;
    preparePlane(0, low);
    for (int w = 0; w + 1 < m_cornersW; ++w) {
      const int high = 1 - low;
      preparePlane(w + 1, high);
      addSlabVertices(w, low, high);
      addSlabTriangles(low, high);
      low = high;
    }
    m_s.lastVertices = m_mesh.getNoOfVertices();
    m_s.lastIndices = m_mesh.getNoOfIndices();
  }

private:
  std::size_t gridIndex(int u, int v, int w) const { return m_grid.index(w + 1, u + 1, v + 1); }

  // Below-threshold flags, face codes and the u- and v-edge vertices of
  // corner plane w.
  void preparePlane(int w, int slot) {
    std::uint8_t* below = m_s.below[slot].data();
    for (int v = 0; v < m_cornersV; ++v) {
      const std::uint8_t* density = m_density + gridIndex(0, v, w);
      std::uint8_t* row = below + std::size_t(v) * m_cornersU;
      for (int u = 0; u < m_cornersU; ++u)
        row[u] = density[u] < m_threshold;
    }
    std::uint8_t* codes = m_s.faceCodes[slot].data();
    for (int v = 0; v + 1 < m_cornersV; ++v) {
      const std::uint8_t* row = below + std::size_t(v) * m_cornersU;
      const std::uint8_t* next = row + m_cornersU;
      std::uint8_t* code = codes + std::size_t(v) * m_cornersU;
      for (int u = 0; u + 1 < m_cornersU; ++u)
        code[u] = std::uint8_t(row[u] | row[u + 1] << 1 | next[u + 1] << 2 | next[u] << 3);
    }
    std::uint32_t* uEdges = m_s.uEdges[slot].data();
    std::uint32_t* vEdges = m_s.vEdges[slot].data();
    for (int v = 0; v < m_cornersV; ++v) {
      const std::size_t rowStart = std::size_t(v) * m_cornersU;
      const std::uint8_t* row = below + rowStart;
      forEachDifference(row, row + 1, std::size_t(m_cornersU - 1), [&](std::size_t u) {
        uEdges[rowStart + u] = addVertex(int(u), v, w, 0);
      });
      if (v + 1 < m_cornersV)
        forEachDifference(row, row + m_cornersU, std::size_t(m_cornersU), [&](std::size_t u) {
          vEdges[rowStart + u] = addVertex(int(u), v, w, 1);
        });
    }
  }

  // The w-edge vertices between corner planes w and w + 1.
  void addSlabVertices(int w, int low, int high) {
    const std::uint8_t* lower = m_s.below[low].data();
    const std::uint8_t* upper = m_s.below[high].data();
    std::uint32_t* wEdges = m_s.wEdges.data();
    forEachDifference(lower, upper, std::size_t(m_cornersU) * m_cornersV, [&](std::size_t i) {
      wEdges[i] = addVertex(int(i % m_cornersU), int(i / m_cornersU), w, 2);
    });
  }

  void addSlabTriangles(int low, int high) {
    const std::uint32_t* sources[5] = {m_s.uEdges[low].data(), m_s.uEdges[high].data(),
                                       m_s.vEdges[low].data(), m_s.vEdges[high].data(),
                                       m_s.wEdges.data()};
    const std::uint8_t* lowCodes = m_s.faceCodes[low].data();
    const std::uint8_t* highCodes = m_s.faceCodes[high].data();
    const int cells = m_cornersU - 1;
    for (int v = 0; v + 1 < m_cornersV; ++v) {
      const std::size_t rowStart = std::size_t(v) * m_cornersU;
      int u = 0;
      while (u < cells) {
        if (u + 8 <= cells) {
          const std::uint64_t lowWord = loadWord(lowCodes + rowStart + u);
          const std::uint64_t highWord = loadWord(highCodes + rowStart + u);
          if (lowWord == highWord && (allOutside(lowWord) || allInside(lowWord))) {
            u += 8;
            continue;
          }
        }
        const unsigned cube = lowCodes[rowStart + u] | unsigned(highCodes[rowStart + u]) << 4;
        if (cube != 0 && cube != 255)
          addCellTriangles(sources, cube, rowStart + u);
        ++u;
      }
    }
  }

  void addCellTriangles(const std::uint32_t* const* sources, unsigned cube, std::size_t corner) {
    const std::int8_t* edges = triTable[cube];
    for (int i = 0; edges[i] != -1; i += 3)
      m_mesh.addTriangle(vertexOf(sources, edges[i], corner), vertexOf(sources, edges[i + 1], corner),
                         vertexOf(sources, edges[i + 2], corner));
  }

  std::uint32_t vertexOf(const std::uint32_t* const* sources, int edge, std::size_t corner) const {
    const EdgeLocation& at = edgeLocations[edge];
    return sources[at.source][corner + std::size_t(at.dv) * m_cornersU + at.du];
  }

  // Density gradient at a grid voxel in world axes, pointing towards lower
  // density.
  Vector3DFloat gradient(std::size_t i) const {
    return {float(int(m_density[i - m_stepW]) - int(m_density[i + m_stepW])),
            float(int(m_density[i - 1]) - int(m_density[i + 1])),
            float(int(m_density[i - m_stepV]) - int(m_density[i + m_stepV]))};
  }

  // The vertex on the edge from corner (u, v, w) one step along memory axis
  // `axis` (0 u, 1 v, 2 w).
  std::uint32_t addVertex(int u, int v, int w, int axis) {
    const std::size_t first = gridIndex(u, v, w);
    const std::size_t second = first + (axis == 0 ? 1 : axis == 1 ? m_stepV : m_stepW);
    const float d0 = m_density[first];
    const float d1 = m_density[second];
    const float t = (float(m_threshold) - d0) / (d1 - d0);

    Vector3DFloat position{float(w), float(u), float(v)};
    float* along = axis == 0 ? &position.y : axis == 1 ? &position.z : &position.x;
    *along += t;

    Vector3DFloat normal = gradient(first) * (1.0f - t) + gradient(second) * t;
    const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    if (length > 0.0f) {
      normal = normal * (1.0f / length);
    } else {
      // Opposite gradients cancel: fall back to the edge, towards the side
      // below the threshold.
      normal = Vector3DFloat();
      float* component = axis == 0 ? &normal.y : axis == 1 ? &normal.z : &normal.x;
      *component = d1 < d0 ? 1.0f : -1.0f;
    }
    const float material = float(m_material[first] | m_material[second]);
    return m_mesh.addVertex(PositionMaterialNormal(position, normal, material));
  }

  const DensityGrid& m_grid;
  Mesh& m_mesh;
  Scratch& m_s;
  const std::uint8_t* m_density;
  const std::uint8_t* m_material;
  std::uint8_t m_threshold;
  int m_cornersU;
  int m_cornersV;
  int m_cornersW;
  std::size_t m_stepV;
  std::size_t m_stepW;
};

} // namespace

void extractMarchingCubes(const DensityGrid& grid, SurfaceMesh<PositionMaterialNormal>& mesh) {
  static thread_local Scratch scratch;
  Builder(grid, mesh, scratch).run();
  mesh.m_vecLodRecords.assign(1, LodRecord{0, int(mesh.getNoOfIndices())});
}

DensityGrid& threadDensityGrid() {
  static thread_local DensityGrid grid;
  return grid;
}

} // namespace Vox
