#ifndef SECTION_LINKS_H
#define SECTION_LINKS_H

// Which faces of a 16-block cube section of a column its air joins: a line
// of sight that enters the section through one face can only leave through
// a face that air inside the section joins to it.

#include <array>
#include <cstdint>

#include "ChunkGeometry.h"
#include "TSVoxel.h"

enum class Face : std::uint8_t { NegX, PosX, NegY, PosY, NegZ, PosZ };
constexpr int FaceCount = 6;
constexpr unsigned AllFaces = (1u << FaceCount) - 1;

constexpr unsigned faceBit(Face face) { return 1u << unsigned(face); }
// The face a neighbour is entered through when leaving through `face`.
constexpr Face oppositeFace(Face face) { return Face(unsigned(face) ^ 1u); }

class SectionLinks {
public:
  // Every face joined to every other: what is assumed of a section whose
  // blocks are not known.
  static constexpr SectionLinks open() {
    SectionLinks links;
    for (std::uint8_t& row : links.m_rows)
      row = AllFaces;
    return links;
  }

  // Joins every face of the mask to every other face of it.
  void join(unsigned faces) {
    for (int face = 0; face < FaceCount; ++face)
      if (faces & (1u << face))
        m_rows[face] |= std::uint8_t(faces);
  }
  // The faces joined to any of `entries`.
  unsigned exits(unsigned entries) const {
    unsigned faces = 0;
    for (int face = 0; face < FaceCount; ++face)
      if (entries & (1u << face))
        faces |= m_rows[face];
    return faces;
  }
  bool joined(Face a, Face b) const { return (m_rows[unsigned(a)] & faceBit(b)) != 0; }

  friend bool operator==(const SectionLinks& a, const SectionLinks& b) {
    return a.m_rows == b.m_rows;
  }

private:
  std::array<std::uint8_t, FaceCount> m_rows{};
};

using ColumnLinks = std::array<SectionLinks, SectionsPerColumn>;

constexpr ColumnLinks openColumn() {
  ColumnLinks links{};
  for (SectionLinks& section : links)
    section = SectionLinks::open();
  return links;
}

// The links of every section of a column from its blocks, laid out y
// fastest, then z, then x (16 x 128 x 16, the order of a region read).
// Air counts as joined to the air of its 18 face and edge neighbours: where
// two air blocks touch only along an edge, marching cubes may leave an
// opening between them.
ColumnLinks columnLinks(const TSVoxel* column);

#endif
