#include "TerrainImages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "JpegFile.h"
#include "PeriodicNoise.h"

namespace {
const int kSize = 1024;
const int kQuality = 90;
const double kTwoPi = 6.283185307179586;

struct Rgb {
  double r, g, b;
};

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
  const int x = static_cast<int>(u * kSize);
  const int y = static_cast<int>(v * kSize);
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
};

std::uint8_t toByte(double level) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(level, 0.0, 1.0) * 255.0));
}

RgbImage paint(const TerrainImage& image) {
  const PeriodicNoise noise(image.seed);
  RgbImage picture;
  picture.width = kSize;
  picture.height = kSize;
  picture.pixels.resize(static_cast<std::size_t>(kSize) * kSize * 3);
  std::uint8_t* out = picture.pixels.data();
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const Rgb c = image.paint(noise, (x + 0.5) / kSize, (y + 0.5) / kSize);
      *out++ = toByte(c.r);
      *out++ = toByte(c.g);
      *out++ = toByte(c.b);
    }
  }
  return picture;
}
}  // namespace

void writeTerrainImages(const std::string& folder) {
  for (const TerrainImage& image : kImages) {
    writeJpeg(folder + "/" + image.fileName, paint(image), kQuality);
  }
}
