#include "SectionWalk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Marks a cell the walk got to, beside the faces it was entered through.
constexpr std::uint8_t Reached = 0x80;

constexpr int Steps[FaceCount][3] = {{-1, 0, 0}, {1, 0, 0},  {0, -1, 0},
                                     {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};

constexpr SectionLinks OpenSection = SectionLinks::open();

// The block nearest to a coordinate, kept within the 32-bit block range.
std::int32_t nearestBlock(float coordinate) {
  const double block = std::floor(double(coordinate) + 0.5);
  if (!(block > std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (block > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(block);
}

std::int64_t distance(std::int32_t a, std::int32_t b) { return std::llabs(std::int64_t(a) - b); }

} // namespace

void SectionWalk::walk(const Vox::Vector3DFloat& eye, int radius) {
  m_radius = std::clamp(radius, 0, MaxRadius);
  const ChunkPosition column = chunkOfBlock(nearestBlock(eye.x), 0, nearestBlock(eye.z));
  const int layer = nearestBlock(eye.y) >> 4;
  static_assert(SectionHeight == 1 << 4, "sections are 16 blocks high");
  m_start = {column.x, std::clamp(layer, -1, SectionsPerColumn), column.z};

  const int side = 2 * m_radius + 1;
  m_entered.assign(std::size_t(side) * side * Layers, 0);
  m_windowLinks.assign(std::size_t(side) * side, nullptr);
  for (int dx = -m_radius; dx <= m_radius; ++dx)
    for (int dz = -m_radius; dz <= m_radius; ++dz) {
      const auto found = m_links.find(ChunkPosition(column.x + dx, 0, column.z + dz));
      if (found != m_links.end())
        m_windowLinks[std::size_t(dx + m_radius) * side + std::size_t(dz + m_radius)] =
            &found->second;
    }

  // Breadth first: every path the walk allows is as long as the steps
  // between its ends, so a cell's entries all come from cells handled
  // before it and it leaves by every face any of its entries is joined to.
  std::vector<Cell> queue{m_start};
  m_entered[indexOf(m_start)] = Reached;
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const Cell cell = queue[next];
    const unsigned steps = allowedSteps(cell);
    for (int face = 0; face < FaceCount; ++face)
      if (steps & (1u << face))
        enter(cell, Face(face), queue);
  }
}

bool SectionWalk::visible(ChunkPosition column, int section) const {
  const Cell cell{column.x, section, column.z};
  if (m_radius < 0 || !inWindow(cell))
    return true;
  return (m_entered[indexOf(cell)] & Reached) != 0;
}

bool SectionWalk::inWindow(const Cell& cell) const {
  return distance(cell.x, m_start.x) <= m_radius && distance(cell.z, m_start.z) <= m_radius &&
         cell.y >= -1 && cell.y <= SectionsPerColumn;
}

std::size_t SectionWalk::indexOf(const Cell& cell) const {
  const std::size_t side = std::size_t(2 * m_radius + 1);
  const std::size_t x = std::size_t(std::int64_t(cell.x) - m_start.x + m_radius);
  const std::size_t z = std::size_t(std::int64_t(cell.z) - m_start.z + m_radius);
  return (x * side + z) * Layers + std::size_t(cell.y + 1);
}

const SectionLinks& SectionWalk::linksOf(const Cell& cell) const {
  if (cell.y < 0 || cell.y >= SectionsPerColumn)
    return OpenSection;
  const std::size_t side = std::size_t(2 * m_radius + 1);
  const std::size_t x = std::size_t(std::int64_t(cell.x) - m_start.x + m_radius);
  const std::size_t z = std::size_t(std::int64_t(cell.z) - m_start.z + m_radius);
  const ColumnLinks* links = m_windowLinks[x * side + z];
  return links ? (*links)[std::size_t(cell.y)] : OpenSection;
}

// The faces a cell may be left by: from the camera's own section every
// face; elsewhere the faces joined to those it was entered through, less
// the directions back towards the camera's section.
unsigned SectionWalk::allowedSteps(const Cell& cell) const {
  if (cell.x == m_start.x && cell.y == m_start.y && cell.z == m_start.z)
    return AllFaces;
  unsigned steps = linksOf(cell).exits(m_entered[indexOf(cell)] & AllFaces);
  const auto forbid = [&](int position, int start, Face down, Face up) {
    if (position > start)
      steps &= ~faceBit(down);
    if (position < start)
      steps &= ~faceBit(up);
  };
  forbid(cell.x, m_start.x, Face::NegX, Face::PosX);
  forbid(cell.y, m_start.y, Face::NegY, Face::PosY);
  forbid(cell.z, m_start.z, Face::NegZ, Face::PosZ);
  return steps;
}

void SectionWalk::enter(const Cell& from, Face step, std::vector<Cell>& queue) {
  const int* delta = Steps[unsigned(step)];
  const Cell to{from.x + delta[0], from.y + delta[1], from.z + delta[2]};
  if (!inWindow(to))
    return;
  std::uint8_t& entered = m_entered[indexOf(to)];
  if (!(entered & Reached))
    queue.push_back(to);
  entered |= std::uint8_t(Reached | faceBit(oppositeFace(step)));
}
