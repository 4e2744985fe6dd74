#ifndef CHUNK_RENDERER_H
#define CHUNK_RENDERER_H

// Puts a chunk's terrain on screen: one section of the chunk's manual object
// per section of the column. The arrays are copied into new hardware buffers
// of the object, which keeps no copy of its own, and the object's bounds
// become the mesh's, so that the camera culls it where it really is.

#include <array>
#include <bitset>

#include <OgreAxisAlignedBox.h>

#include "ChunkGeometry.h"
#include "TerrainMesh.h"

namespace Ogre {
class ManualObject;
}

using SectionMask = std::bitset<SectionsPerColumn>;
// The box around each section's mesh; empty (null) for an empty mesh.
using SectionBounds = std::array<Ogre::AxisAlignedBox, SectionsPerColumn>;

// Replaces the geometry of the object's sections, one per column section
// (made when missing), with the meshes; a section whose mesh is empty draws
// nothing. At least one mesh must not be empty. Every section is shown.
// Returns the bounds of the sections.
SectionBounds drawTerrainSections(Ogre::ManualObject* object, const SectionMeshes& meshes);

// Draws only the sections in the mask, without touching their buffers.
void showTerrainSections(Ogre::ManualObject* object, SectionMask shown);

#endif
