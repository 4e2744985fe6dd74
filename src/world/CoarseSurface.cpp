#include "CoarseSurface.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "ChunkRegions.h"
#include "vox/MarchingCubes.h"

namespace {

using Surface = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;
using Vec = Vox::Vector3DFloat;

constexpr int Step = 2;
constexpr int SamplesX = ChunkSizeX / Step + 1;
constexpr int SamplesY = ChunkSizeY / Step + 1;
constexpr int SamplesZ = ChunkSizeZ / Step + 1;

// The chunk's copy region, addressed relative to the chunk's lowest block,
// read into `voxels`, which is reused from chunk to chunk.
class ChunkVoxels {
public:
  ChunkVoxels(WorldVolume& volume, ChunkPosition position, std::vector<TSVoxel>& voxels)
      : m_voxels(voxels) {
    const Vox::Region region = chunkCopyRegion(position);
    m_height = region.getHeightInVoxels();
    m_depth = region.getDepthInVoxels();
    m_voxels.resize(std::size_t(region.getWidthInVoxels()) * m_height * m_depth);
    volume.readRegion(region, m_voxels.data());
  }

  TSVoxel at(int x, int y, int z) const {
    return m_voxels[(std::size_t(x + MesherBorder) * m_depth + std::size_t(z + MesherBorder)) *
                        m_height +
                    std::size_t(y + MesherBorder)];
  }

private:
  int m_height = 0;
  int m_depth = 0;
  std::vector<TSVoxel>& m_voxels;
};

// The coarse samples of the chunk; sample (i, j, k) stands at voxel
// (2i, 2j, 2k). Its type is 0 for air.
class CoarseSamples {
public:
  explicit CoarseSamples(const ChunkVoxels& voxels) {
    for (int i = 0; i < SamplesX; ++i)
      for (int j = 0; j < SamplesY; ++j)
        for (int k = 0; k < SamplesZ; ++k)
          m_types[index(i, j, k)] = blockType(voxels, i * Step, j * Step, k * Step);
  }

  std::uint8_t type(int i, int j, int k) const { return m_types[index(i, j, k)]; }

private:
  static std::size_t index(int i, int j, int k) {
    return (std::size_t(i) * SamplesZ + std::size_t(k)) * SamplesY + std::size_t(j);
  }

  // The voxel's type, or that of the solid voxel above it, which lies just
  // under the coarse surface when the voxel above that is air (a grass top
  // stays grass).
  static std::uint8_t blockType(const ChunkVoxels& voxels, int x, int y, int z) {
    const std::uint8_t type = voxels.at(x, y, z).getMaterial();
    const std::uint8_t above = voxels.at(x, y + 1, z).getMaterial();
    return type != 0 && above != 0 ? above : type;
  }

  std::array<std::uint8_t, std::size_t(SamplesX) * SamplesY * SamplesZ> m_types{};
};

// The samples as a density grid with the outer layer the extractor skips;
// that layer repeats the outermost samples (it only feeds gradients, which
// the terrain mesh does not use).
void fillGrid(const CoarseSamples& samples, Vox::DensityGrid& grid) {
  grid.resize(SamplesX + 2, SamplesY + 2, SamplesZ + 2);
  grid.threshold = TSVoxel::getThreshold();
  for (int x = 0; x < grid.width(); ++x)
    for (int z = 0; z < grid.depth(); ++z)
      for (int y = 0; y < grid.height(); ++y) {
        const std::uint8_t type =
            samples.type(std::clamp(x - 1, 0, SamplesX - 1), std::clamp(y - 1, 0, SamplesY - 1),
                         std::clamp(z - 1, 0, SamplesZ - 1));
        const std::size_t i = grid.index(x, y, z);
        grid.densities()[i] = TSVoxel(type).getDensity();
        grid.materials()[i] = type;
      }
}

// One vertical side of the chunk as a plane of voxels: u runs along the
// side (x or z), v is y.
class SidePlane {
public:
  SidePlane(const ChunkVoxels& voxels, const CoarseSamples& samples, ChunkSide side)
      : m_voxels(voxels), m_samples(samples),
        m_alongX(side == LowZSide || side == HighZSide),
        m_across(side == HighXSide ? ChunkSizeX : side == HighZSide ? ChunkSizeZ : 0),
        m_inward(side == LowXSide || side == LowZSide ? 1.0f : -1.0f) {}

  int width() const { return m_alongX ? ChunkSizeX : ChunkSizeZ; }

  std::uint8_t fine(int u, int v) const {
    return m_alongX ? m_voxels.at(u, v, m_across).getMaterial()
                    : m_voxels.at(m_across, v, u).getMaterial();
  }
  // The coarse sample (u, v) of the plane, at fine position (2u, 2v).
  std::uint8_t coarse(int u, int v) const {
    return m_alongX ? m_samples.type(u, v, m_across / Step) : m_samples.type(m_across / Step, v, u);
  }

  Vec point(float u, float v) const {
    return m_alongX ? Vec(u, v, float(m_across)) : Vec(float(m_across), v, u);
  }
  // The direction into the chunk.
  Vec inward() const { return m_alongX ? Vec(0, 0, m_inward) : Vec(m_inward, 0, 0); }

private:
  const ChunkVoxels& m_voxels;
  const CoarseSamples& m_samples;
  bool m_alongX;
  int m_across;
  float m_inward;
};

struct PlanePoint {
  float u, v;
};

// A convex polygon in one square of a side plane, with the block type of
// one of its solid samples; `whole` when it is the whole square.
struct Piece {
  std::vector<PlanePoint> corners;
  std::uint8_t type = 0;
  bool whole = false;
};

// The solid part of fine square (u, v) as the full-resolution surface
// outlines it: its solid corners and the midpoints of its edges between a
// solid and an air corner. Two solid corners facing each other across the
// square are joined, which covers either way the mesh may part them.
Piece finePiece(const SidePlane& plane, int u, int v) {
  const PlanePoint corners[4] = {{float(u), float(v)},
                                 {float(u + 1), float(v)},
                                 {float(u + 1), float(v + 1)},
                                 {float(u), float(v + 1)}};
  const std::uint8_t types[4] = {plane.fine(u, v), plane.fine(u + 1, v),
                                 plane.fine(u + 1, v + 1), plane.fine(u, v + 1)};
  Piece piece;
  for (int i = 0; i < 4; ++i) {
    const int next = (i + 1) % 4;
    if (types[i] != 0) {
      piece.corners.push_back(corners[i]);
      piece.type = std::max(piece.type, types[i]);
    }
    if ((types[i] != 0) != (types[next] != 0))
      piece.corners.push_back({(corners[i].u + corners[next].u) / 2,
                               (corners[i].v + corners[next].v) / 2});
  }
  piece.whole = std::all_of(types, types + 4, [](std::uint8_t type) { return type != 0; });
  return piece;
}

// The solid part of fine square (u, v) as the coarse surface outlines it.
// The coarse outline runs through fine corners, along fine edges or across
// the square's diagonal, so the part is empty, whole, or one half of the
// square. The square is a quarter of a coarse square; `near` is the coarse
// sample at its corner. Only when both coarse edges from `near` are crossed
// does the outline cut the square, leaving the half at `near` of its type
// (unless the coarse square is a saddle with `near` solid: solid corners
// are joined across the middle, as for the fine outline).
Piece coarsePiece(const SidePlane& plane, int u, int v) {
  const int du = u % Step, dv = v % Step;
  const int nearU = u - du + du * Step, nearV = v - dv + dv * Step;
  const int farU = u - du + (1 - du) * Step, farV = v - dv + (1 - dv) * Step;
  const std::uint8_t nearType = plane.coarse(nearU / Step, nearV / Step);
  const std::uint8_t alongU = plane.coarse(farU / Step, nearV / Step);
  const std::uint8_t alongV = plane.coarse(nearU / Step, farV / Step);
  const std::uint8_t across = plane.coarse(farU / Step, farV / Step);
  const bool solid = nearType != 0;
  const bool cut = (alongU != 0) != solid && (alongV != 0) != solid &&
                   !(solid && across != 0);
  // The square's corners: at `near`, beside it along u and v, and opposite.
  const PlanePoint atNear{float(u + du), float(v + dv)};
  const PlanePoint besideU{float(u + 1 - du), float(v + dv)};
  const PlanePoint besideV{float(u + du), float(v + 1 - dv)};
  const PlanePoint opposite{float(u + 1 - du), float(v + 1 - dv)};
  Piece piece;
  if (!cut && solid)
    piece = {{atNear, besideU, opposite, besideV}, nearType, true};
  else if (cut && solid)
    piece = {{atNear, besideU, besideV}, nearType, false};
  else if (cut)
    piece = {{besideU, opposite, besideV}, std::max(alongU, alongV), false};
  return piece;
}

// Fans out a piece in the side plane, each triangle wound to face `facing`.
void addPiece(const SidePlane& plane, const Piece& piece, Vec facing, Surface& surface) {
  const auto vertex = [&](PlanePoint p) {
    return surface.addVertex({plane.point(p.u, p.v), facing, float(piece.type)});
  };
  const auto dot = [](Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
  for (std::size_t i = 1; i + 1 < piece.corners.size(); ++i) {
    PlanePoint a = piece.corners[0], b = piece.corners[i], c = piece.corners[i + 1];
    const Vec p = plane.point(a.u, a.v), q = plane.point(b.u, b.v), r = plane.point(c.u, c.v);
    const Vec e = q - p, f = r - p;
    const Vec normal(e.y * f.z - e.z * f.y, e.z * f.x - e.x * f.z, e.x * f.y - e.y * f.x);
    if (dot(normal, facing) < 0)
      std::swap(b, c);
    surface.addTriangle(vertex(a), vertex(b), vertex(c));
  }
}

// Fills the gap between the coarse outline and the fine one in a side plane.
// The fine part faces into the chunk, where it hides the fine neighbour's
// open end; the coarse part faces out, where it hides this chunk's.
void addSideWalls(const SidePlane& plane, Surface& surface) {
  const Vec in = plane.inward();
  const Vec out = in * -1.0f;
  for (int u = 0; u < plane.width(); ++u)
    for (int v = 0; v < ChunkSizeY; ++v) {
      const Piece fine = finePiece(plane, u, v);
      const Piece coarse = coarsePiece(plane, u, v);
      if (!fine.corners.empty() && !coarse.whole)
        addPiece(plane, fine, in, surface);
      if (!coarse.corners.empty() && !fine.whole)
        addPiece(plane, coarse, out, surface);
    }
}

} // namespace

void extractCoarseSurface(WorldVolume& volume, ChunkPosition position, unsigned finerSides,
                          Surface& surface) {
  static thread_local std::vector<TSVoxel> voxelBuffer;
  const ChunkVoxels voxels(volume, position, voxelBuffer);
  const CoarseSamples samples(voxels);
  Vox::DensityGrid& grid = Vox::threadDensityGrid();
  fillGrid(samples, grid);
  static thread_local Surface coarse;
  coarse.clear();
  Vox::extractMarchingCubes(grid, coarse);

  surface.clear();
  for (const auto& vertex : coarse.getVertices())
    surface.addVertex(
        {vertex.getPosition() * float(Step), vertex.getNormal(), vertex.getMaterial()});
  const auto& indices = coarse.getIndices();
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3)
    surface.addTriangle(indices[i], indices[i + 1], indices[i + 2]);
  for (ChunkSide side : {LowXSide, HighXSide, LowZSide, HighZSide})
    if (finerSides & side)
      addSideWalls(SidePlane(voxels, samples, side), surface);
  surface.m_vecLodRecords.assign(1, Vox::LodRecord{0, int(surface.getNoOfIndices())});
}
