#ifndef MEDIA_PERIODIC_NOISE_H
#define MEDIA_PERIODIC_NOISE_H

#include <cstdint>

// Noise over texture coordinates u, v in [0, 1) that repeats with period 1 in
// both directions, so that the pictures made from it tile without seams.
class PeriodicNoise {
public:
  explicit PeriodicNoise(std::uint32_t seed);

  // Smooth value noise in [0, 1] on a lattice of cellsU x cellsV cells.
  double value(double u, double v, int cellsU, int cellsV) const;
  // Octaves of value noise from baseCells cells up, each twice as fine and
  // half as strong; in [0, 1].
  double fractal(double u, double v, int baseCells, int octaves) const;

  // Cellular noise: one random point per cell of a cells x cells lattice.
  struct Cell {
    double nearest;  // distance to the nearest point, in cells
    double second;   // distance to the second nearest point
    std::uint32_t id;  // identifies the nearest point's cell
  };
  Cell cell(double u, double v, int cells) const;

  // A well-mixed random number in [0, 1) for a lattice point.
  double random(int x, int y, std::uint32_t salt) const;

private:
  std::uint32_t hash(int x, int y, std::uint32_t salt) const;

  std::uint32_t m_seed;
};

#endif
