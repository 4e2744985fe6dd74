#ifndef BLOCK_LAYERS_H
#define BLOCK_LAYERS_H

// Texture layer of a block type; types without a layer of their own use 0.
unsigned char layerOfBlockType(unsigned char blockType);

#endif
