#ifndef SECTION_WALK_H
#define SECTION_WALK_H

// Which sections of the columns around the camera can be seen from it: a
// walk from the camera's section to its neighbours, entering a section only
// through a face that air in the section it comes from joins to the face it
// entered by, and never stepping against a direction already taken (a line
// of sight runs one way along each axis). Every section the walk enters is
// drawn: its surface may face the air it was entered from. Columns whose
// links are not known, and the air above and below the world, count as
// open; columns beyond the walk's radius are always shown.

#include <cstdint>
#include <map>
#include <vector>

#include "ChunkPosition.h"
#include "SectionLinks.h"

class SectionWalk {
public:
  // The farthest the walk reaches from the camera's column, in columns.
  static constexpr int MaxRadius = 32;

  void setLinks(ChunkPosition column, const ColumnLinks& links) { m_links[column] = links; }
  void forget(ChunkPosition column) { m_links.erase(column); }

  // Walks from the section holding the block nearest to `eye` over the
  // columns within `radius` (at most MaxRadius) of its column.
  void walk(const Vox::Vector3DFloat& eye, int radius);
  bool visible(ChunkPosition column, int section) const;

private:
  // A section of the walk's window, or one of the layers of air just below
  // and above the world.
  struct Cell {
    int x, y, z;
  };
  static constexpr int Layers = SectionsPerColumn + 2;

  bool inWindow(const Cell& cell) const;
  std::size_t indexOf(const Cell& cell) const;
  const SectionLinks& linksOf(const Cell& cell) const;
  unsigned allowedSteps(const Cell& cell) const;
  void enter(const Cell& from, Face step, std::vector<Cell>& queue);

  std::map<ChunkPosition, ColumnLinks> m_links;
  // The window of the last walk: its centre cell and radius, and per cell
  // the faces it was entered through (Reached marks a cell the walk got to).
  Cell m_start{0, 0, 0};
  int m_radius = -1;
  std::vector<std::uint8_t> m_entered;
  std::vector<const ColumnLinks*> m_windowLinks;
};

#endif
