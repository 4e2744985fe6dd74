#ifndef TESTS_CHUNKS_REFERENCE_CHUNK_DRAWING_H
#define TESTS_CHUNKS_REFERENCE_CHUNK_DRAWING_H

// The unindexed chunk format the compact one replaced, as the yardstick of
// the picture: every mesh triangle written as 3, 12 or 18 vertices of
// position, face normal and texture coordinate (world position, layer), with
// vertex and fragment programs that take the normal from the vertices.

#include "vox/SurfaceMesh.h"

namespace Ogre {
class ManualObject;
}

extern const char* const ReferenceMaterialName;

// The material "ReferenceTerrain": the terrain texture array with the
// reference programs. Needs the terrain material's texture.
void createReferenceMaterial();

// Writes a chunk's surface, positions relative to `origin`, into a new
// section of the object.
void drawReferenceChunk(Ogre::ManualObject* object,
                        const Vox::SurfaceMesh<Vox::PositionMaterialNormal>& surface,
                        Vox::Vector3DFloat origin);

#endif
