#ifndef VOX_BLOCK_H
#define VOX_BLOCK_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Vox {

// The voxels of one cubic block, either as a plain array or run-length
// compressed. A new block is compressed and all default voxels (air).
template <typename VoxelType> class Block {
public:
  explicit Block(std::uint32_t voxelCount) : m_voxelCount(voxelCount), m_runs{{VoxelType(), voxelCount}} {}

  bool isCompressed() const { return !m_data; }
  // Compressed into a single run: every voxel holds uniformValue().
  bool isUniform() const { return isCompressed() && m_runs.size() == 1; }
  const VoxelType& uniformValue() const { return m_runs.front().value; }
  // The plain array; only while uncompressed.
  VoxelType* data() const { return m_data.get(); }

  void compress() {
    std::vector<Run> runs;
    const VoxelType* voxel = m_data.get();
    const VoxelType* const end = voxel + m_voxelCount;
    while (voxel != end) {
      const VoxelType value = *voxel;
      const VoxelType* runEnd = voxel + 1;
      while (runEnd != end && *runEnd == value)
        ++runEnd;
      runs.push_back({value, static_cast<std::uint32_t>(runEnd - voxel)});
      voxel = runEnd;
    }
    runs.shrink_to_fit();
    m_runs = std::move(runs);
    m_data.reset();
  }

  void decompress() {
    m_data.reset(new VoxelType[m_voxelCount]);
    VoxelType* voxel = m_data.get();
    for (const Run& run : m_runs)
      voxel = std::fill_n(voxel, run.length, run.value);
    m_runs = {};
  }

  // Heap memory held for the voxels.
  std::size_t sizeInBytes() const {
    return m_data ? m_voxelCount * sizeof(VoxelType) : m_runs.capacity() * sizeof(Run);
  }

private:
  struct Run {
    VoxelType value;
    std::uint32_t length;
  };

  std::uint32_t m_voxelCount;
  std::unique_ptr<VoxelType[]> m_data;
  std::vector<Run> m_runs;
};

} // namespace Vox

#endif
