#ifndef CHUNK_RENDERER_H
#define CHUNK_RENDERER_H

// Puts a chunk's terrain mesh on screen: the arrays are copied into new
// hardware buffers of the chunk's manual object, which keeps no copy of its
// own, and the object's bounds become the mesh's, so that the camera culls
// it where it really is.

#include "TerrainMesh.h"

namespace Ogre {
class ManualObject;
}

// Replaces the geometry of the object's first section; the mesh must not be
// empty.
void drawTerrainMesh(Ogre::ManualObject* object, const TerrainMesh& mesh);

#endif
