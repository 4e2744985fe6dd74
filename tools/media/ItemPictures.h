#ifndef MEDIA_ITEM_PICTURES_H
#define MEDIA_ITEM_PICTURES_H

#include <string>

// Paints the pictures of the items that are not blocks, one 32 x 32 cell
// each in rows of 16, the unknown item's first, in the order of the item
// catalogue, and writes them with their transparency as "items.tga" into
// the folder.
void writeItemPictures(const std::string& folder);

#endif
