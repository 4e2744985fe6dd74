#ifndef CHUNK_RENDERER_H
#define CHUNK_RENDERER_H

// Writes marching-cubes triangles into a chunk's manual object: flat face
// normals, one texture layer per output triangle (triangles whose corners
// carry different block types are split), world positions.

#include "vox/SurfaceMesh.h"
#include "vox/Vector.h"

namespace Ogre {
class ManualObject;
}

// Texture layer of a block type; types without a layer of their own use 0.
unsigned char layerOfBlockType(unsigned char blockType);

// Emits one mesh triangle (3, 12 or 18 vertices).
void drawMeshTriangle(Ogre::ManualObject* object, Vox::PositionMaterialNormal a,
                      Vox::PositionMaterialNormal b, Vox::PositionMaterialNormal c,
                      Vox::Vector3DFloat origin);

void drawTriangle(Ogre::ManualObject* object, const Vox::PositionMaterialNormal& first,
                  const Vox::PositionMaterialNormal& second,
                  const Vox::PositionMaterialNormal& third, unsigned char blockType,
                  Vox::Vector3DFloat origin);

void drawVertex(Ogre::ManualObject* object, const Vox::PositionMaterialNormal& vertex,
                unsigned char layer, Vox::Vector3DFloat origin);

#endif
