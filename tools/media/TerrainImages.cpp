#include "TerrainImages.h"

#include <algorithm>
#include <cmath>

#include "JpegFile.h"
#include "PaintedImage.h"
#include "PeriodicNoise.h"

namespace {
// Texels per picture edge. A picture spans four blocks, so a block gets 64
// texels, more than a block near the eye covers in pixels of a window.
const int kSize = 256;
// Each texel is the mean of kSamples x kSamples points of the painting, so
// the pictures keep fine detail as shading instead of aliasing it away.
const int kSamples = 4;
// The grid of the finest features (snow's glints), as fine as one sample.
const int kDetail = kSize * kSamples;
const int kQuality = 90;
const double kTwoPi = 6.283185307179586;

Rgb mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

Rgb grey(double level) { return {level, level, level}; }

double fraction(double x) { return x - std::floor(x); }

// Mid grey with a faint tile grid: the texture of blocks without one of
// their own.
Rgb neutral(const PeriodicNoise& noise, double u, double v) {
  const double shade = 0.70 + 0.08 * (noise.fractal(u, v, 4, 4) - 0.5);
  const bool onGrid = fraction(u * 4) < 0.012 || fraction(v * 4) < 0.012;
  return grey(onGrid ? shade - 0.12 : shade);
}

Rgb grass(const PeriodicNoise& noise, double u, double v) {
  const double patches = noise.fractal(u, v, 8, 5);
  const double blades = noise.value(u, v, 256, 48);
  return mix({0.16, 0.34, 0.08}, {0.44, 0.68, 0.20}, 0.55 * patches + 0.45 * blades);
}

Rgb snow(const PeriodicNoise& noise, double u, double v) {
  const double drift = noise.fractal(u, v, 4, 5);
  const int x = static_cast<int>(u * kDetail);
  const int y = static_cast<int>(v * kDetail);
  if (noise.random(x, y, 7) > 0.996) {
    return grey(1.0);
  }
  return mix({0.78, 0.84, 0.93}, {0.97, 0.98, 1.0}, drift);
}

// Grey rock with darker veins along the zero lines of a second noise.
Rgb stone(const PeriodicNoise& noise, double u, double v) {
  const double body = noise.fractal(u, v, 4, 6);
  const double vein = std::fabs(noise.fractal(u, v, 6, 3) - 0.5);
  const Rgb rock = mix({0.36, 0.36, 0.38}, {0.62, 0.62, 0.64}, body);
  return vein < 0.012 ? scale(rock, 0.55) : rock;
}

// Deep blue with two crossing wave trains and light crests.
Rgb water(const PeriodicNoise& noise, double u, double v) {
  const double warp = noise.fractal(u, v, 4, 3);
  const double across = std::sin(kTwoPi * (u * 6 + 0.9 * warp));
  const double along = std::sin(kTwoPi * (v * 4 + u * 2 + 0.6 * warp));
  const Rgb sea = mix({0.05, 0.18, 0.42}, {0.18, 0.42, 0.74}, 0.5 + 0.25 * across + 0.25 * along);
  return across > 0.93 ? mix(sea, {0.80, 0.90, 1.0}, 0.5) : sea;
}

// Brown earth with small dark clods and light grains.
Rgb dirt(const PeriodicNoise& noise, double u, double v) {
  const double soil = noise.fractal(u, v, 6, 5);
  const double grains = noise.value(u, v, 192, 192);
  const Rgb earth = mix({0.30, 0.20, 0.12}, {0.52, 0.37, 0.22}, soil);
  if (grains > 0.78) {
    return scale(earth, 0.7);
  }
  return grains < 0.18 ? mix(earth, {0.70, 0.60, 0.45}, 0.35) : earth;
}

// Rounded pebbles of varying shade with dark gaps between them.
Rgb gravel(const PeriodicNoise& noise, double u, double v) {
  const PeriodicNoise::Cell pebble = noise.cell(u, v, 24);
  if (pebble.second - pebble.nearest < 0.07) {
    return {0.14, 0.13, 0.12};
  }
  const double shade = 0.38 + 0.34 * (pebble.id / 4294967296.0);
  const double rounding = 1.0 - 0.45 * std::min(1.0, pebble.nearest * pebble.nearest);
  return scale({shade, shade * 0.95, shade * 0.88}, rounding);
}

// Pale yellow grains with a few darker and lighter ones.
Rgb sand(const PeriodicNoise& noise, double u, double v) {
  const double dunes = noise.fractal(u, v, 4, 4);
  const double grains = noise.value(u, v, 256, 256);
  const Rgb base = mix({0.80, 0.72, 0.50}, {0.93, 0.87, 0.66}, dunes);
  if (grains > 0.8) {
    return scale(base, 0.88);
  }
  return grains < 0.15 ? mix(base, grey(1.0), 0.3) : base;
}

// Sand pressed into horizontal layers of slightly different shades.
Rgb sandstone(const PeriodicNoise& noise, double u, double v) {
  const double layer = std::sin(kTwoPi * (v * 16 + 0.15 * noise.fractal(u, v, 4, 3)));
  const double grit = noise.value(u, v, 128, 128);
  const Rgb base = mix({0.76, 0.66, 0.45}, {0.88, 0.80, 0.58}, 0.5 + 0.3 * layer + 0.2 * (grit - 0.5));
  return layer > 0.92 ? scale(base, 0.85) : base;
}

// Bark: dark brown furrows running along v between lighter ridges.
Rgb bark(const PeriodicNoise& noise, double u, double v) {
  const double ridges = noise.value(u, v, 48, 6);
  const double knots = noise.fractal(u, v, 8, 3);
  const Rgb wood = mix({0.22, 0.15, 0.08}, {0.45, 0.33, 0.19}, 0.7 * ridges + 0.3 * knots);
  return ridges < 0.3 ? scale(wood, 0.6) : wood;
}

// Overlapping leaves of several greens with dark gaps between them.
Rgb leaves(const PeriodicNoise& noise, double u, double v) {
  const PeriodicNoise::Cell leaf = noise.cell(u, v, 48);
  if (leaf.second - leaf.nearest < 0.06) {
    return {0.04, 0.12, 0.03};
  }
  const double shade = leaf.id / 4294967296.0;
  return scale(mix({0.10, 0.32, 0.07}, {0.30, 0.55, 0.16}, shade), 1.0 - 0.3 * leaf.nearest);
}

// Pale blue ice with light cracks.
Rgb ice(const PeriodicNoise& noise, double u, double v) {
  const PeriodicNoise::Cell floe = noise.cell(u, v, 6);
  const double depth = noise.fractal(u, v, 4, 4);
  const Rgb base = mix({0.55, 0.72, 0.92}, {0.75, 0.87, 0.98}, depth);
  return floe.second - floe.nearest < 0.03 ? mix(base, grey(1.0), 0.6) : base;
}

// Smooth blue-grey clay.
Rgb clay(const PeriodicNoise& noise, double u, double v) {
  const double body = noise.fractal(u, v, 4, 5);
  return mix({0.52, 0.55, 0.62}, {0.66, 0.69, 0.75}, body);
}

// Stone with specks of the ore's colour.
template <const Rgb& Colour> Rgb ore(const PeriodicNoise& noise, double u, double v) {
  const PeriodicNoise::Cell speck = noise.cell(u, v, 16);
  if (speck.nearest < 0.3 && speck.id % 2 == 0) {
    return scale(Colour, 1.0 - speck.nearest);
  }
  return stone(noise, u, v);
}

constexpr Rgb kCoal{0.08, 0.08, 0.08};
constexpr Rgb kIron{0.85, 0.62, 0.45};
constexpr Rgb kGold{1.0, 0.85, 0.15};
constexpr Rgb kDiamond{0.45, 0.95, 0.95};
constexpr Rgb kRedstone{0.95, 0.08, 0.05};
constexpr Rgb kLapis{0.10, 0.25, 0.85};

// Glowing orange with darker cooling crust drifting over it.
Rgb lava(const PeriodicNoise& noise, double u, double v) {
  const double heat = noise.fractal(u, v, 6, 5);
  const Rgb molten = mix({0.85, 0.25, 0.02}, {1.0, 0.75, 0.15}, heat);
  return heat < 0.35 ? mix(molten, {0.35, 0.08, 0.02}, (0.35 - heat) * 2.5) : molten;
}

// Light boards running along u, four to a picture, with dark seams.
Rgb planks(const PeriodicNoise& noise, double u, double v) {
  const double board = v * 4;
  const double grain = noise.value(u, fraction(board) / 4, 6, 40);
  const Rgb wood = mix({0.55, 0.40, 0.22}, {0.72, 0.56, 0.33}, grain);
  return fraction(board) < 0.03 ? scale(wood, 0.45) : scale(wood, 0.92 + 0.08 * std::floor(board) / 3);
}

// Glassy black with a violet sheen.
Rgb obsidian(const PeriodicNoise& noise, double u, double v) {
  const double sheen = noise.fractal(u, v, 5, 5);
  return mix({0.05, 0.03, 0.08}, {0.22, 0.14, 0.30}, sheen * sheen);
}

// Rough dark red rock.
Rgb netherrack(const PeriodicNoise& noise, double u, double v) {
  const double body = noise.fractal(u, v, 8, 6);
  const double pits = noise.value(u, v, 96, 96);
  const Rgb rock = mix({0.35, 0.10, 0.09}, {0.58, 0.22, 0.20}, body);
  return pits > 0.82 ? scale(rock, 0.6) : rock;
}

// Red bricks in a running bond with light mortar.
Rgb brick(const PeriodicNoise& noise, double u, double v) {
  const double row = v * 8;
  const double column = u * 4 + (static_cast<int>(std::floor(row)) % 2 ? 0.5 : 0.0);
  if (fraction(row) < 0.1 || fraction(column) < 0.05) {
    return {0.72, 0.70, 0.66};
  }
  const double shade = noise.random(static_cast<int>(std::floor(column)) % 4,
                                    static_cast<int>(std::floor(row)), 9);
  return scale(mix({0.55, 0.22, 0.16}, {0.70, 0.32, 0.22}, shade),
               0.9 + 0.1 * noise.value(u, v, 64, 64));
}

struct TerrainImage {
  const char* fileName;
  Rgb (*paint)(const PeriodicNoise&, double, double);
  std::uint32_t seed;
};

// In the order of the terrain texture's layers.
const TerrainImage kImages[] = {
    {"Abstract_15.jpg", neutral, 15},
    {"tm006_COLOR.jpg", grass, 6},
    {"Snow_01_UV_H_CM_1.jpg", snow, 1},
    {"Rock_02_UV_H_CM_1.jpg", stone, 2},
    {"Blue_18.jpg", water, 18},
    {"tm003_COLOR.jpg", dirt, 3},
    {"tm007_COLOR.jpg", gravel, 7},
    {"sand.jpg", sand, 12},
    {"sandstone.jpg", sandstone, 24},
    {"bark.jpg", bark, 17},
    {"leaves.jpg", leaves, 18},
    {"ice.jpg", ice, 79},
    {"clay.jpg", clay, 82},
    {"coal_ore.jpg", ore<kCoal>, 16},
    {"iron_ore.jpg", ore<kIron>, 15},
    {"gold_ore.jpg", ore<kGold>, 14},
    {"diamond_ore.jpg", ore<kDiamond>, 56},
    {"redstone_ore.jpg", ore<kRedstone>, 73},
    {"lapis_ore.jpg", ore<kLapis>, 21},
    {"lava.jpg", lava, 10},
    {"planks.jpg", planks, 5},
    {"obsidian.jpg", obsidian, 49},
    {"netherrack.jpg", netherrack, 87},
    {"brick.jpg", brick, 45},
};

Rgb meanOfSamples(const TerrainImage& image, const PeriodicNoise& noise, int x, int y) {
  Rgb sum{0, 0, 0};
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      const Rgb c = image.paint(noise, (x * kSamples + sx + 0.5) / kDetail,
                                (y * kSamples + sy + 0.5) / kDetail);
      sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
    }
  }
  return scale(sum, 1.0 / (kSamples * kSamples));
}

RgbImage paint(const TerrainImage& image) {
  const PeriodicNoise noise(image.seed);
  return paintImage(kSize, [&](int x, int y) { return meanOfSamples(image, noise, x, y); });
}
}  // namespace

void writeTerrainImages(const std::string& folder) {
  for (const TerrainImage& image : kImages) {
    writeJpeg(folder + "/" + image.fileName, paint(image), kQuality);
  }
}
