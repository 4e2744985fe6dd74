#ifndef MESH_H
#define MESH_H

#include <memory>

#include "TerrainMesh.h"

// The mesh worker's output for one chunk, ready to be copied into the
// chunk's buffers.
using Mesh = std::unique_ptr<TerrainMesh>;

#endif
