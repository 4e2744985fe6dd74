#ifndef MEDIA_PLAYER_PICTURE_H
#define MEDIA_PLAYER_PICTURE_H

#include <string>

// The player model's picture, "player.jpg": square regions for the parts'
// faces, each a quarter of the picture's width. The model's boxes take their
// faces from these regions.
struct PictureRegion {
  // In texture coordinates, 0 to 1 from the top left corner.
  float left, top, right, bottom;
};

// The regions one box of the model shows on its faces.
struct BoxPicture {
  PictureRegion front, back, side, top, bottom;
};

namespace PlayerPicture {
extern const BoxPicture Head;
extern const BoxPicture Body;
extern const BoxPicture Arm;
extern const BoxPicture Leg;
} // namespace PlayerPicture

// Writes "player.jpg" into the folder.
void writePlayerPicture(const std::string& folder);

#endif
