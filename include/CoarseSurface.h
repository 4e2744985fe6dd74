#ifndef COARSE_SURFACE_H
#define COARSE_SURFACE_H

// The surface of a far chunk at half the resolution: marching cubes over
// every second voxel in each direction, about a quarter of the triangles.

#include "ChunkPosition.h"
#include "WorldVolume.h"
#include "vox/SurfaceMesh.h"

// The vertical sides of a chunk, as bits of a mask.
enum ChunkSide : unsigned { LowXSide = 1, HighXSide = 2, LowZSide = 4, HighZSide = 8 };

// Replaces `surface` with the coarse surface of chunk `position`, read from
// `volume`, which must hold the chunk's copy region. Positions are relative
// to the chunk's lowest block, as those of the full surface.
//
// Each coarse sample is a voxel whose coordinates are all even, so that the
// coarse surface stays within a block of the full one on every side of a
// body (solid parts one block thin may vanish). Chunk sides are 16 blocks
// apart, so a side is a plane of samples: two coarse chunks meet without a
// gap. A finer neighbour meshes the side plane's voxels at full resolution,
// so the outlines differ there; on each side in `finerSides` the plane gets
// walls that fill the gap: where the fine outline is solid and the coarse
// one is not, a wall facing into this chunk, and where the coarse is solid
// and the fine is not, one facing out of it.
void extractCoarseSurface(WorldVolume& volume, ChunkPosition position, unsigned finerSides,
                          Vox::SurfaceMesh<Vox::PositionMaterialNormal>& surface);

#endif
