#ifndef VOX_BLOCK_H
#define VOX_BLOCK_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace Vox {

// An unsigned integer of the voxel's size, in which blocks keep their voxels:
// stores of it cannot alias the volume's own members (stores of a struct of
// bytes could), so loops over voxel writes keep those members in registers.
template <typename VoxelType>
using VoxelWord = std::conditional_t<
    sizeof(VoxelType) == 1, std::uint8_t,
    std::conditional_t<sizeof(VoxelType) == 2, std::uint16_t,
                       std::conditional_t<sizeof(VoxelType) == 4, std::uint32_t, std::uint64_t>>>;

// The voxels of one cubic block, either as a plain array or run-length
// compressed. A new block is compressed and all default voxels (air).
template <typename VoxelType> class Block {
  static_assert(std::is_trivially_copyable<VoxelType>::value &&
                    (sizeof(VoxelType) == 1 || sizeof(VoxelType) == 2 ||
                     sizeof(VoxelType) == 4 || sizeof(VoxelType) == 8),
                "voxels are kept as the bits of an unsigned integer of their size");

public:
  using Word = VoxelWord<VoxelType>;

  static Word toWord(const VoxelType& voxel) {
    Word word;
    std::memcpy(&word, &voxel, sizeof word);
    return word;
  }
  static VoxelType fromWord(Word word) {
    VoxelType voxel;
    std::memcpy(static_cast<void*>(&voxel), &word, sizeof word);
    return voxel;
  }

  // Sets `count` words to `value`: with the C library's wide stores when all
  // its bytes are equal (air is all zero bytes), else eight bytes at a time.
  static void fillWords(Word* out, std::size_t count, Word value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    if (std::all_of(bytes, bytes + sizeof value, [&](unsigned char b) { return b == bytes[0]; })) {
      std::memset(out, bytes[0], count * sizeof value);
      return;
    }
    const std::size_t perPattern = sizeof(std::uint64_t) / sizeof value;
    std::uint64_t pattern = value;
    for (std::size_t i = 1; i < perPattern; ++i)
      pattern = (pattern << (8 * sizeof value)) | value;
    std::size_t i = 0;
    for (; i + perPattern <= count; i += perPattern)
      std::memcpy(out + i, &pattern, sizeof pattern);
    std::fill(out + i, out + count, value);
  }

  explicit Block(std::uint32_t voxelCount)
      : m_voxelCount(voxelCount), m_runs{{VoxelType(), voxelCount}} {}

  bool isCompressed() const { return !m_data; }
  // Compressed into a single run: every voxel holds uniformValue().
  bool isUniform() const { return isCompressed() && m_runs.size() == 1; }
  const VoxelType& uniformValue() const { return m_runs.front().value; }
  // The plain array; null while compressed.
  Word* data() const { return m_data.get(); }

  void compress() {
    std::vector<Run> runs;
    const Word* word = m_data.get();
    const Word* const end = word + m_voxelCount;
    while (word != end) {
      const Word value = *word;
      const Word* runEnd = word + 1;
      while (runEnd != end && *runEnd == value)
        ++runEnd;
      runs.push_back({fromWord(value), static_cast<std::uint32_t>(runEnd - word)});
      word = runEnd;
    }
    runs.shrink_to_fit();
    m_runs = std::move(runs);
    m_data.reset();
  }

  void decompress() {
    allocate();
    Word* word = m_data.get();
    for (const Run& run : m_runs) {
      fillWords(word, run.length, toWord(run.value));
      word += run.length;
    }
    m_runs = {};
  }

  // Uncompressed with unspecified contents, for a caller that overwrites all
  // voxels.
  void discardAndAllocate() {
    allocate();
    m_runs = {};
  }

  // Compressed, every voxel `value`; the memory of earlier runs is freed.
  void fill(const VoxelType& value) {
    m_data.reset();
    m_runs = std::vector<Run>(1, Run{value, m_voxelCount});
  }

  // Heap memory held for the voxels.
  std::size_t sizeInBytes() const {
    return m_data ? m_voxelCount * sizeof(Word) : m_runs.capacity() * sizeof(Run);
  }

private:
  struct Run {
    VoxelType value;
    std::uint32_t length;
  };

  // Uninitialised: decompression writes every voxel once.
  void allocate() {
    if (!m_data)
      m_data.reset(new Word[m_voxelCount]);
  }

  std::uint32_t m_voxelCount;
  std::unique_ptr<Word[]> m_data;
  std::vector<Run> m_runs;
};

} // namespace Vox

#endif
