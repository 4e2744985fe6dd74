#ifndef MESH_H
#define MESH_H

#include <memory>

#include "SectionLinks.h"
#include "TerrainMesh.h"

// The mesh worker's output for one chunk: the drawable arrays of each
// section, ready to be copied into the chunk's buffers, and which faces of
// each section its air joins.
struct ChunkMesh {
  SectionMeshes sections;
  ColumnLinks links = openColumn();

  bool empty() const {
    for (const TerrainMesh& section : sections)
      if (!section.empty())
        return false;
    return true;
  }
};

using Mesh = std::unique_ptr<ChunkMesh>;

#endif
