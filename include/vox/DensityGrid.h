#ifndef VOX_DENSITY_GRID_H
#define VOX_DENSITY_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vox {

// Densities and materials of a dense box of voxels, y fastest, then z, then
// x (the volume's region order): the marching-cubes input. Storage is kept when resized, so one grid can
// serve many extractions without allocating.
class DensityGrid {
public:
  void resize(int width, int height, int depth) {
    m_width = width;
    m_height = height;
    m_depth = depth;
    const std::size_t count = std::size_t(width) * height * depth;
    m_densities.resize(count);
    m_materials.resize(count);
  }

  int width() const { return m_width; }
  int height() const { return m_height; }
  int depth() const { return m_depth; }
  std::size_t index(int x, int y, int z) const {
    return (std::size_t(x) * m_depth + z) * m_height + y;
  }

  std::uint8_t* densities() { return m_densities.data(); }
  const std::uint8_t* densities() const { return m_densities.data(); }
  std::uint8_t* materials() { return m_materials.data(); }
  const std::uint8_t* materials() const { return m_materials.data(); }

  // Densities below the threshold are outside the surface.
  std::uint8_t threshold = 1;

private:
  int m_width = 0;
  int m_height = 0;
  int m_depth = 0;
  std::vector<std::uint8_t> m_densities;
  std::vector<std::uint8_t> m_materials;
};

} // namespace Vox

#endif
