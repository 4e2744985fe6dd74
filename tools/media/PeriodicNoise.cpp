#include "PeriodicNoise.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
int wrap(int i, int period) { return ((i % period) + period) % period; }

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double lerp(double a, double b, double t) { return a + (b - a) * t; }
}  // namespace

PeriodicNoise::PeriodicNoise(std::uint32_t seed) : m_seed(seed) {}

std::uint32_t PeriodicNoise::hash(int x, int y, std::uint32_t salt) const {
  std::uint32_t h = m_seed ^ (salt * 0x9E3779B9u);
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double PeriodicNoise::random(int x, int y, std::uint32_t salt) const {
  return hash(x, y, salt) / 4294967296.0;
}

double PeriodicNoise::value(double u, double v, int cellsU, int cellsV) const {
  const double x = u * cellsU;
  const double y = v * cellsV;
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const double tx = smooth(x - x0);
  const double ty = smooth(y - y0);
  auto corner = [&](int dx, int dy) {
    return random(wrap(x0 + dx, cellsU), wrap(y0 + dy, cellsV), 1);
  };
  return lerp(lerp(corner(0, 0), corner(1, 0), tx), lerp(corner(0, 1), corner(1, 1), tx), ty);
}

double PeriodicNoise::fractal(double u, double v, int baseCells, int octaves) const {
  double sum = 0.0;
  double weight = 0.0;
  double amplitude = 1.0;
  int cells = baseCells;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += amplitude * value(u, v, cells, cells);
    weight += amplitude;
    amplitude *= 0.5;
    cells *= 2;
  }
  return sum / weight;
}

PeriodicNoise::Cell PeriodicNoise::cell(double u, double v, int cells) const {
  const double x = u * cells;
  const double y = v * cells;
  const int cx = static_cast<int>(std::floor(x));
  const int cy = static_cast<int>(std::floor(y));
  Cell result{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 0};
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int wx = wrap(cx + dx, cells);
      const int wy = wrap(cy + dy, cells);
      const double px = cx + dx + random(wx, wy, 2);
      const double py = cy + dy + random(wx, wy, 3);
      const double distance = std::hypot(px - x, py - y);
      if (distance < result.nearest) {
        result.second = result.nearest;
        result.nearest = distance;
        result.id = hash(wx, wy, 4);
      } else {
        result.second = std::min(result.second, distance);
      }
    }
  }
  return result;
}
