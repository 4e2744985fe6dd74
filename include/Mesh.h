#ifndef MESH_H
#define MESH_H

#include <memory>

#include "vox/SurfaceMesh.h"

// The mesh worker's output for one chunk.
using Mesh = std::unique_ptr<Vox::SurfaceMesh<Vox::PositionMaterialNormal>>;

#endif
