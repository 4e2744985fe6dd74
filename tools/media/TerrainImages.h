#ifndef MEDIA_TERRAIN_IMAGES_H
#define MEDIA_TERRAIN_IMAGES_H

#include <string>

// Paints the terrain pictures, 256 x 256 each and seamlessly tiling, in the
// order of the terrain texture's layers, and writes them as JPEG files into
// the folder.
void writeTerrainImages(const std::string& folder);

#endif
