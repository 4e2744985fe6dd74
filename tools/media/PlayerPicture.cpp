#include "PlayerPicture.h"

#include "JpegFile.h"
#include "PaintedImage.h"
#include "PeriodicNoise.h"

namespace {

// The picture is painted on a grid of design cells, 8 x 8 to a region and
// 4 x 4 regions; each cell is kCellPixels texels wide, enough that the
// bilinear filter and the JPEG blocks never blur one region into the next.
const int kRegionCells = 8;
const int kRegions = 4;
const int kCellPixels = 4;
const int kSize = kRegionCells * kRegions * kCellPixels;
const int kQuality = 92;

const Rgb kSkin{0.86, 0.66, 0.52};
const Rgb kHair{0.12, 0.10, 0.10};
const Rgb kShirt{0.80, 0.45, 0.15};
const Rgb kTrousers{0.32, 0.32, 0.36};
const Rgb kShoe{0.20, 0.18, 0.18};
const Rgb kEyeWhite{0.95, 0.95, 0.95};
const Rgb kPupil{0.30, 0.22, 0.12};
const Rgb kMouth{0.60, 0.38, 0.32};
const Rgb kBelt{0.25, 0.18, 0.10};

// What one region shows at a design cell (x to the right, y down, 0 to 7).
using RegionPaint = Rgb (*)(int x, int y);

Rgb face(int x, int y) {
  if (y < 2)
    return kHair;
  if (y == 4 && (x == 1 || x == 5))
    return kEyeWhite;
  if (y == 4 && (x == 2 || x == 6))
    return kPupil;
  if (y == 6 && (x == 3 || x == 4))
    return kMouth;
  return kSkin;
}

Rgb headSide(int, int y) { return y < 3 ? kHair : kSkin; }
Rgb hair(int, int) { return kHair; }
Rgb skin(int, int) { return kSkin; }

Rgb bodyFront(int x, int y) {
  if (y == 0 && (x == 3 || x == 4))
    return kSkin;
  return y == 7 ? kBelt : kShirt;
}

Rgb bodySide(int, int y) { return y == 7 ? kBelt : kShirt; }
Rgb shirt(int, int) { return kShirt; }
Rgb armSide(int, int y) { return y < 5 ? kShirt : kSkin; }
Rgb legSide(int, int y) { return y < 6 ? kTrousers : kShoe; }
Rgb trousers(int, int) { return kTrousers; }
Rgb shoe(int, int) { return kShoe; }

// By region row, then column; empty regions stay black.
const RegionPaint kLayout[kRegions][kRegions] = {
    {face, headSide, hair, skin},
    {bodyFront, bodySide, shirt, armSide},
    {legSide, trousers, shoe, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

constexpr PictureRegion region(int column, int row) {
  return {float(column) / kRegions, float(row) / kRegions, float(column + 1) / kRegions,
          float(row + 1) / kRegions};
}

} // namespace

namespace PlayerPicture {
const BoxPicture Head{region(0, 0), region(2, 0), region(1, 0), region(2, 0), region(3, 0)};
const BoxPicture Body{region(0, 1), region(1, 1), region(1, 1), region(2, 1), region(2, 1)};
const BoxPicture Arm{region(3, 1), region(3, 1), region(3, 1), region(2, 1), region(3, 0)};
const BoxPicture Leg{region(0, 2), region(0, 2), region(0, 2), region(1, 2), region(2, 2)};
} // namespace PlayerPicture

// Each region's cells with a faint weave, so that the cloth does not look
// flat up close.
void writePlayerPicture(const std::string& folder) {
  const PeriodicNoise noise(20);
  const RgbImage picture = paintImage(kSize, [&](int x, int y) {
    const int cellX = x / kCellPixels;
    const int cellY = y / kCellPixels;
    const RegionPaint paint = kLayout[cellY / kRegionCells][cellX / kRegionCells];
    const Rgb colour = paint ? paint(cellX % kRegionCells, cellY % kRegionCells) : Rgb{0, 0, 0};
    const double weave = 0.94 + 0.12 * noise.value(double(x) / kSize, double(y) / kSize, 64, 64);
    return Rgb{colour.r * weave, colour.g * weave, colour.b * weave};
  });
  writeJpeg(folder + "/player.jpg", picture, kQuality);
}
