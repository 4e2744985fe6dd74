#ifndef TERRAIN_MATERIAL_H
#define TERRAIN_MATERIAL_H

// The terrain's texture array "TextureArrayTex" (one layer per terrain
// image) and the unlit GLSL material "TextureArray" that every chunk uses.
// Built once per run: a later world reuses what the engine already holds.

#include <OgreColourValue.h>

#include "TerrainFog.h"

void createTerrainMaterial();

// The name of the terrain picture of the texture layer (BlockLayers.h),
// among the resources, or of layer 0's for a layer there is not: a block
// held in a hand shows it too.
const char* terrainImageOfLayer(unsigned char layer);

// Sets the distance fog of the terrain programs; none until it is set.
void setTerrainFog(const Ogre::ColourValue& colour, FogRange range);

constexpr const char* TerrainMaterialName = "TextureArray";
// Texels per edge of a layer; a smaller picture fills the top left of its
// layer, a larger one is scaled down.
constexpr Ogre::uint32 TerrainTextureSize = 256;

#endif
