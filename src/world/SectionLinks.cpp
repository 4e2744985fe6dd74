#include "SectionLinks.h"

#include <vector>

namespace {

constexpr int Side = SectionHeight;
static_assert(ChunkSizeX == Side && ChunkSizeZ == Side, "sections are cubes");
constexpr int SectionVoxels = Side * Side * Side;

// Index of a block of the section, y fastest as in the column.
constexpr int indexOf(int x, int y, int z) { return (x * Side + z) * Side + y; }

// The air components of one section, by union-find over block indices.
class AirComponents {
public:
  explicit AirComponents(const bool* air) : m_air(air), m_parent(SectionVoxels) {
    for (int i = 0; i < SectionVoxels; ++i)
      m_parent[i] = i;
  }

  // Joins each air block to the air among its 18 neighbours that come
  // before it in index order (so every pair is seen once).
  void joinNeighbours() {
    for (int x = 0; x < Side; ++x)
      for (int z = 0; z < Side; ++z)
        for (int y = 0; y < Side; ++y)
          if (m_air[indexOf(x, y, z)])
            joinEarlierNeighbours(x, y, z);
  }

  // The faces each component touches, by component root.
  std::vector<std::uint8_t> facesByRoot() {
    std::vector<std::uint8_t> faces(SectionVoxels, 0);
    for (int x = 0; x < Side; ++x)
      for (int z = 0; z < Side; ++z)
        for (int y = 0; y < Side; ++y)
          if (m_air[indexOf(x, y, z)])
            faces[find(indexOf(x, y, z))] |= std::uint8_t(touchedFaces(x, y, z));
    return faces;
  }

private:
  static unsigned touchedFaces(int x, int y, int z) {
    unsigned faces = 0;
    faces |= x == 0 ? faceBit(Face::NegX) : 0u;
    faces |= x == Side - 1 ? faceBit(Face::PosX) : 0u;
    faces |= y == 0 ? faceBit(Face::NegY) : 0u;
    faces |= y == Side - 1 ? faceBit(Face::PosY) : 0u;
    faces |= z == 0 ? faceBit(Face::NegZ) : 0u;
    faces |= z == Side - 1 ? faceBit(Face::PosZ) : 0u;
    return faces;
  }

  void joinEarlierNeighbours(int x, int y, int z) {
    // Offsets (dx, dz, dy) of the face and edge neighbours with a smaller
    // index: x is the slowest axis, then z, then y.
    static constexpr int Offsets[9][3] = {
        {-1, 0, 0}, {-1, -1, 0}, {-1, 1, 0}, {-1, 0, -1}, {-1, 0, 1},
        {0, -1, 0}, {0, -1, -1}, {0, -1, 1}, {0, 0, -1},
    };
    const int self = indexOf(x, y, z);
    for (const auto& offset : Offsets) {
      const int nx = x + offset[0], nz = z + offset[1], ny = y + offset[2];
      if (nx < 0 || nz < 0 || nz >= Side || ny < 0 || ny >= Side)
        continue;
      const int other = indexOf(nx, ny, nz);
      if (m_air[other])
        unite(self, other);
    }
  }

  int find(int i) {
    while (m_parent[i] != i) {
      m_parent[i] = m_parent[m_parent[i]];
      i = m_parent[i];
    }
    return i;
  }
  void unite(int a, int b) { m_parent[find(a)] = find(b); }

  const bool* m_air;
  std::vector<int> m_parent;
};

SectionLinks sectionLinks(const TSVoxel* column, int section) {
  bool air[SectionVoxels];
  int airCount = 0;
  for (int x = 0; x < Side; ++x)
    for (int z = 0; z < Side; ++z)
      for (int y = 0; y < Side; ++y) {
        const TSVoxel voxel = column[(x * ChunkSizeZ + z) * ChunkSizeY + section * Side + y];
        air[indexOf(x, y, z)] = voxel.getDensity() < TSVoxel::getThreshold();
        airCount += air[indexOf(x, y, z)];
      }
  if (airCount == SectionVoxels)
    return SectionLinks::open();
  SectionLinks links;
  if (airCount == 0)
    return links;
  AirComponents components(air);
  components.joinNeighbours();
  for (std::uint8_t faces : components.facesByRoot())
    links.join(faces);
  return links;
}

} // namespace

ColumnLinks columnLinks(const TSVoxel* column) {
  ColumnLinks links;
  for (int section = 0; section < SectionsPerColumn; ++section)
    links[section] = sectionLinks(column, section);
  return links;
}
