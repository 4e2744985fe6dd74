#ifndef VOX_LARGE_VOLUME_H
#define VOX_LARGE_VOLUME_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <unordered_map>

#include "vox/Block.h"
#include "vox/LruList.h"
#include "vox/Region.h"
#include "vox/Vector.h"

namespace Vox {

// An unbounded volume paged in cubic blocks. A block comes into being the
// first time a voxel other than the default (air) is written into it; until
// then, and once it is dropped, its voxels read as the default. Blocks the
// volume holds take its memory: beyond the memory limit, in bytes, the least
// recently used blocks are dropped with their contents; beyond the
// uncompressed limit the least recently used ones are run-length compressed.
// Not thread-safe: every access, reads included, changes the paging state.
template <typename VoxelType> class LargeVolume {
  static_assert(std::is_trivially_copyable<VoxelType>::value,
                "voxels are copied as plain memory");

public:
  // The memory limit of a volume that is not given one.
  static constexpr std::size_t DefaultMemoryLimit = std::size_t(64) << 20;

  // blockSideLength must be a power of two.
  explicit LargeVolume(int blockSideLength = 32) : m_sideLength(blockSideLength) {
    if (blockSideLength < 1 || (blockSideLength & (blockSideLength - 1)) != 0)
      throw std::invalid_argument("block side length must be a power of two");
    while ((1 << m_shift) < blockSideLength)
      ++m_shift;
    m_doubleShift = 2 * m_shift;
    m_mask = blockSideLength - 1;
    m_blockVoxels = std::uint32_t(blockSideLength) * blockSideLength * blockSideLength;
  }

  LargeVolume(const LargeVolume&) = delete;
  LargeVolume& operator=(const LargeVolume&) = delete;

  int getBlockSideLength() const { return m_sideLength; }

  VoxelType getVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z) {
    const Offset offset = offsetInLastBlock(x, y, z);
    if (offset.inside) {
      if (m_lastData)
        return BlockType::fromWord(m_lastData[offset.index]);
      if (m_lastUniform)
        return m_lastUniformValue;
    }
    return getVoxelElsewhere(x, y, z);
  }
  VoxelType getVoxelAt(const Vector3DInt32& p) { return getVoxelAt(p.x, p.y, p.z); }

  // Always succeeds: the volume has no bounds.
  bool setVoxelAt(std::int32_t x, std::int32_t y, std::int32_t z, VoxelType value) {
    const Offset offset = offsetInLastBlock(x, y, z);
    if (offset.inside) {
      if (m_lastData) {
        m_lastData[offset.index] = BlockType::toWord(value);
        return true;
      }
      if (m_lastUniform && m_lastUniformValue == value)
        return true;
    }
    setVoxelElsewhere(x, y, z, value);
    return true;
  }
  bool setVoxelAt(const Vector3DInt32& p, VoxelType value) {
    return setVoxelAt(p.x, p.y, p.z, value);
  }

  // The bytes the blocks may take, their bookkeeping included (see
  // memoryInBytes()). Drops least recently used blocks at once if they take
  // more. The block in use is kept even when it alone is over the limit.
  void setMemoryLimit(std::size_t bytes) {
    m_memoryLimit = bytes;
    trimMemory();
  }

  // Compresses least recently used blocks at once if more are uncompressed.
  void setMaxNumberOfUncompressedBlocks(std::uint32_t count) {
    m_maxUncompressed = std::max<std::uint32_t>(count, 1);
    trimUncompressed();
  }

  std::size_t getNumberOfBlocksInMemory() const { return m_nodes.size(); }
  std::size_t getNumberOfUncompressedBlocks() const { return m_uncompressedOrder.size(); }

  // What the memory limit counts: the voxel data and the bookkeeping of every
  // block held.
  std::size_t memoryInBytes() const { return m_memoryInBytes; }
  // That plus the volume itself and its table of blocks.
  std::size_t calculateSizeInBytes() const {
    return sizeof(*this) + m_nodes.bucket_count() * sizeof(void*) + m_memoryInBytes;
  }

  // Copies the region into `out`, y fastest, then z, then x: the order of the
  // blocks' own arrays, which is the order chunk data arrives in.
  void readRegion(const Region& region, VoxelType* out) {
    forEachPiece(region, [&](const Key& key, const Region& piece) {
      Node* const held = lookUpHeld(key);
      if (!held) {
        forEachRow(region, piece, [&](std::int32_t, std::int32_t, std::size_t offset, int length) {
          std::fill_n(out + offset, length, VoxelType());
        });
        return;
      }
      Node& node = *held;
      if (node.block.isUniform()) {
        forEachRow(region, piece, [&](std::int32_t, std::int32_t, std::size_t offset, int length) {
          std::fill_n(out + offset, length, node.block.uniformValue());
        });
        return;
      }
      makeUncompressed(node);
      const Word* data = node.block.data();
      forEachRow(region, piece, [&](std::int32_t x, std::int32_t z, std::size_t offset, int length) {
        std::memcpy(static_cast<void*>(out + offset), data + voxelIndex(x, piece.getLowerCorner().y, z),
                    length * sizeof(VoxelType));
      });
    });
  }

  // Writes the region from `in`, laid out as readRegion() leaves it. Parts
  // that leave a uniform block unchanged, or make a whole block uniform, keep
  // it compressed.
  void writeRegion(const Region& region, const VoxelType* in) {
    forEachPiece(region, [&](const Key& key, const Region& piece) {
      Node* const held = lookUpHeld(key);
      if (!held && pieceEquals(region, piece, in, VoxelType()))
        return;
      Node& node = held ? *held : lookUp(key);
      const bool wholeBlock = coversBlock(piece);
      if (node.block.isUniform() && pieceEquals(region, piece, in, node.block.uniformValue()))
        return;
      const VoxelType first = in[regionOffset(region, piece.getLowerCorner())];
      if (wholeBlock && pieceEquals(region, piece, in, first)) {
        if (first == VoxelType())
          evict(node);
        else
          makeUniform(node, first);
        return;
      }
      if (wholeBlock)
        makeAllocated(node);
      else
        makeUncompressed(node);
      Word* data = node.block.data();
      forEachRow(region, piece, [&](std::int32_t x, std::int32_t z, std::size_t offset, int length) {
        std::memcpy(data + voxelIndex(x, piece.getLowerCorner().y, z), in + offset,
                    length * sizeof(VoxelType));
      });
    });
  }

  // Sets the region to the default voxel and frees what that leaves empty:
  // the blocks it covers are dropped, and so are those it leaves all
  // default.
  void eraseRegion(const Region& region) {
    forEachPiece(region, [&](const Key& key, const Region& piece) {
      Node* const node = lookUpHeld(key);
      if (!node)
        return;
      if (coversBlock(piece) || isAllDefault(*node)) {
        evict(*node);
        return;
      }
      makeUncompressed(*node);
      Word* data = node->block.data();
      forEachRow(region, piece, [&](std::int32_t x, std::int32_t z, std::size_t, int length) {
        BlockType::fillWords(data + voxelIndex(x, piece.getLowerCorner().y, z), length,
                             BlockType::toWord(VoxelType()));
      });
      if (isAllDefault(*node))
        evict(*node);
    });
  }

private:
  using BlockType = Block<VoxelType>;
  using Word = typename BlockType::Word;

  struct Key {
    std::int32_t x, y, z;
    bool operator==(const Key& other) const {
      return x == other.x && y == other.y && z == other.z;
    }
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::size_t(std::uint32_t(k.x) * 73856093u ^ std::uint32_t(k.y) * 19349663u ^
                         std::uint32_t(k.z) * 83492791u);
    }
  };
  struct Node {
    Node(Key key, std::uint32_t voxels) : key(key), block(voxels) {}
    Key key;
    BlockType block;
    LruLinks<Node> memoryLinks;
    LruLinks<Node> uncompressedLinks;
  };
  // Recently used blocks by key, so that alternating between a few blocks
  // does not go through the hash map.
  struct CacheSlot {
    Key key{0, 0, 0};
    Node* node = nullptr;
  };
  static constexpr std::size_t CacheSlots = 64;

  // y fastest, then z, then x, so that chunk data, which runs along y, is
  // written to consecutive addresses.
  std::size_t voxelIndex(std::int32_t x, std::int32_t y, std::int32_t z) const {
    return (std::size_t(x & m_mask) << m_doubleShift) | (std::size_t(z & m_mask) << m_shift) |
           std::size_t(y & m_mask);
  }

  // The paths through another block or a compressed one stay out of line, so
  // that loops over the fast paths keep their variables in registers.
  [[gnu::noinline]] VoxelType getVoxelElsewhere(std::int32_t x, std::int32_t y, std::int32_t z) {
    Node* const held = heldNodeAt(x, y, z);
    if (!held)
      return VoxelType();
    Node& node = *held;
    if (node.block.isUniform())
      return node.block.uniformValue();
    makeUncompressed(node);
    return BlockType::fromWord(node.block.data()[voxelIndex(x, y, z)]);
  }

  [[gnu::noinline]] void setVoxelElsewhere(std::int32_t x, std::int32_t y, std::int32_t z,
                                           VoxelType value) {
    Node* const held = heldNodeAt(x, y, z);
    if (!held && value == VoxelType())
      return;
    Node& node = held ? *held : lookUp(keyOf(x, y, z));
    if (node.block.isUniform() && node.block.uniformValue() == value)
      return;
    makeUncompressed(node);
    node.block.data()[voxelIndex(x, y, z)] = BlockType::toWord(value);
  }

  // Where (x, y, z) lies in the block looked up last; only meaningful while
  // there is one (m_lastData or m_lastUniform set; a block that is not held
  // counts as uniformly default).
  struct Offset {
    bool inside;
    std::size_t index;
  };
  Offset offsetInLastBlock(std::int32_t x, std::int32_t y, std::int32_t z) const {
    const std::uint32_t dx = std::uint32_t(x) - m_lastOrigin[0];
    const std::uint32_t dy = std::uint32_t(y) - m_lastOrigin[1];
    const std::uint32_t dz = std::uint32_t(z) - m_lastOrigin[2];
    return {(dx | dy | dz) < std::uint32_t(m_sideLength),
            (std::size_t(dx) << m_doubleShift) | (std::size_t(dz) << m_shift) | dy};
  }

  Key keyOf(std::int32_t x, std::int32_t y, std::int32_t z) const {
    return {x >> m_shift, y >> m_shift, z >> m_shift};
  }

  // The block holding (x, y, z); null when it is not held.
  Node* heldNodeAt(std::int32_t x, std::int32_t y, std::int32_t z) {
    if (m_last && offsetInLastBlock(x, y, z).inside)
      return m_last;
    return lookUpHeld(keyOf(x, y, z));
  }

  // The form of the last block, for the fast paths, after it changed.
  void refreshLast(const Node& node) {
    if (m_last != &node)
      return;
    m_lastData = node.block.data();
    m_lastUniform = node.block.isUniform();
    if (m_lastUniform)
      m_lastUniformValue = node.block.uniformValue();
  }

  // The held block of the key, made the one in use; null when it is not
  // held, and then the fast paths treat its voxels as default.
  Node* lookUpHeld(const Key& key) {
    CacheSlot& slot = m_cache[KeyHash()(key) % CacheSlots];
    if (slot.node && slot.node->key == key)
      return &use(*slot.node, slot);
    const auto found = m_nodes.find(key);
    if (found == m_nodes.end()) {
      m_last = nullptr;
      m_lastData = nullptr;
      m_lastUniform = true;
      m_lastUniformValue = VoxelType();
      m_lastOrigin = originOf(key);
      return nullptr;
    }
    return &use(*found->second, slot);
  }

  // The block of the key, made when it is not held, and made the one in use.
  Node& lookUp(const Key& key) {
    CacheSlot& slot = m_cache[KeyHash()(key) % CacheSlots];
    Node* node = slot.node && slot.node->key == key ? slot.node : findOrCreate(key);
    return use(*node, slot);
  }

  std::array<std::uint32_t, 3> originOf(const Key& key) const {
    return {std::uint32_t(key.x) << m_shift, std::uint32_t(key.y) << m_shift,
            std::uint32_t(key.z) << m_shift};
  }

  // Makes the block the most recently used and the one the fast paths see.
  Node& use(Node& node, CacheSlot& slot) {
    slot.key = node.key;
    slot.node = &node;
    m_memoryOrder.moveToFront(node);
    if (!node.block.isCompressed())
      m_uncompressedOrder.moveToFront(node);
    m_last = &node;
    refreshLast(node);
    m_lastOrigin = originOf(node.key);
    return node;
  }

  // A new block is pushed to the front before the limit is applied, so that
  // it is never the one dropped.
  Node* findOrCreate(const Key& key) {
    auto found = m_nodes.find(key);
    if (found != m_nodes.end())
      return found->second.get();
    Node* node = m_nodes.emplace(key, std::make_unique<Node>(key, m_blockVoxels)).first->second.get();
    m_memoryOrder.pushFront(*node);
    m_memoryInBytes += nodeBytes(*node);
    trimMemory();
    return node;
  }

  // What one held block counts against the memory limit: its voxels, its
  // node and its entry in the table of blocks.
  static std::size_t nodeBytes(const Node& node) {
    return sizeof(typename decltype(m_nodes)::value_type) + sizeof(Node) + 2 * sizeof(void*) +
           node.block.sizeInBytes();
  }

  // Changes the form of a block's voxels, keeping the count of bytes.
  template <typename F> void reshape(Node& node, F&& change) {
    m_memoryInBytes -= node.block.sizeInBytes();
    change();
    m_memoryInBytes += node.block.sizeInBytes();
  }

  // Drops the least recently used blocks while the memory limit is exceeded,
  // never the block in use (the most recently used).
  void trimMemory() {
    while (m_memoryInBytes > m_memoryLimit && m_memoryOrder.size() > 1)
      evict(*m_memoryOrder.back());
  }

  bool isAllDefault(const Node& node) const {
    if (node.block.isCompressed())
      return node.block.isUniform() && node.block.uniformValue() == VoxelType();
    const Word* data = node.block.data();
    const Word air = BlockType::toWord(VoxelType());
    return std::all_of(data, data + m_blockVoxels, [air](Word word) { return word == air; });
  }

  void evict(Node& node) {
    for (CacheSlot& slot : m_cache)
      if (slot.node == &node)
        slot.node = nullptr;
    if (m_last == &node) {
      m_last = nullptr;
      m_lastData = nullptr;
      m_lastUniform = false;
    }
    if (!node.block.isCompressed())
      m_uncompressedOrder.remove(node);
    m_memoryOrder.remove(node);
    m_memoryInBytes -= nodeBytes(node);
    const Key key = node.key;
    m_nodes.erase(key);
  }

  // The three below are for the block in use, which the memory limit keeps.
  void makeUncompressed(Node& node) {
    if (!node.block.isCompressed())
      return;
    reshape(node, [&] { node.block.decompress(); });
    addUncompressed(node);
    refreshLast(node);
  }

  void makeAllocated(Node& node) {
    if (!node.block.isCompressed())
      return;
    reshape(node, [&] { node.block.discardAndAllocate(); });
    addUncompressed(node);
    refreshLast(node);
  }

  void makeUniform(Node& node, const VoxelType& value) {
    if (!node.block.isCompressed())
      m_uncompressedOrder.remove(node);
    reshape(node, [&] { node.block.fill(value); });
    refreshLast(node);
  }

  void addUncompressed(Node& node) {
    m_uncompressedOrder.pushFront(node);
    trimUncompressed();
  }

  // Compression may take more memory than it saves (a block of alternating
  // voxels): the memory limit is applied afterwards, once no block of the
  // loop is referred to any more.
  void trimUncompressed() {
    while (m_uncompressedOrder.size() > m_maxUncompressed) {
      Node& oldest = *m_uncompressedOrder.back();
      m_uncompressedOrder.remove(oldest);
      reshape(oldest, [&] { oldest.block.compress(); });
      refreshLast(oldest);
    }
    trimMemory();
  }

  // First voxel coordinate of a block along one axis. The shift is done
  // unsigned: shifting a negative number left is undefined before C++20.
  std::int32_t blockOrigin(std::int32_t block) const {
    return std::int32_t(std::uint32_t(block) << m_shift);
  }

  // Calls f(key, piece) for every block the region touches, with the part of
  // the region inside that block.
  template <typename F> void forEachPiece(const Region& region, F&& f) {
    const Vector3DInt32 lower = region.getLowerCorner();
    const Vector3DInt32 upper = region.getUpperCorner();
    for (std::int32_t bz = lower.z >> m_shift; bz <= upper.z >> m_shift; ++bz)
      for (std::int32_t by = lower.y >> m_shift; by <= upper.y >> m_shift; ++by)
        for (std::int32_t bx = lower.x >> m_shift; bx <= upper.x >> m_shift; ++bx) {
          const Vector3DInt32 blockLower(blockOrigin(bx), blockOrigin(by), blockOrigin(bz));
          const Vector3DInt32 blockUpper = blockLower + Vector3DInt32(m_mask, m_mask, m_mask);
          const Region piece(
              {std::max(lower.x, blockLower.x), std::max(lower.y, blockLower.y),
               std::max(lower.z, blockLower.z)},
              {std::min(upper.x, blockUpper.x), std::min(upper.y, blockUpper.y),
               std::min(upper.z, blockUpper.z)});
          f(Key{bx, by, bz}, piece);
        }
  }

  // Calls f(x, z, offset in the region's dense layout, length) for every
  // y-row of the piece.
  template <typename F> static void forEachRow(const Region& region, const Region& piece, F&& f) {
    const Vector3DInt32 lower = piece.getLowerCorner();
    const Vector3DInt32 upper = piece.getUpperCorner();
    const int length = piece.getHeightInVoxels();
    for (std::int32_t x = lower.x; x <= upper.x; ++x)
      for (std::int32_t z = lower.z; z <= upper.z; ++z)
        f(x, z, regionOffset(region, {x, lower.y, z}), length);
  }

  static std::size_t regionOffset(const Region& region, const Vector3DInt32& p) {
    const Vector3DInt32 d = p - region.getLowerCorner();
    return (std::size_t(d.x) * region.getDepthInVoxels() + d.z) * region.getHeightInVoxels() + d.y;
  }

  static bool pieceEquals(const Region& region, const Region& piece, const VoxelType* in,
                          const VoxelType& value) {
    bool equal = true;
    forEachRow(region, piece, [&](std::int32_t, std::int32_t, std::size_t offset, int length) {
      for (int i = 0; equal && i < length; ++i)
        equal = in[offset + i] == value;
    });
    return equal;
  }

  bool coversBlock(const Region& piece) const {
    return piece.getWidthInVoxels() == m_sideLength && piece.getHeightInVoxels() == m_sideLength &&
           piece.getDepthInVoxels() == m_sideLength;
  }

  int m_sideLength;
  int m_shift = 0;
  int m_doubleShift = 0;
  std::int32_t m_mask = 0;
  std::uint32_t m_blockVoxels = 0;
  std::size_t m_memoryLimit = DefaultMemoryLimit;
  std::size_t m_memoryInBytes = 0;
  std::uint32_t m_maxUncompressed = 16;
  std::unordered_map<Key, std::unique_ptr<Node>, KeyHash> m_nodes;
  LruList<Node, &Node::memoryLinks> m_memoryOrder;
  LruList<Node, &Node::uncompressedLinks> m_uncompressedOrder;
  std::array<CacheSlot, CacheSlots> m_cache{};
  Node* m_last = nullptr;
  // Cached from m_last: its plain array (null while compressed), whether it
  // is compressed to a single value and which, and the coordinates of its
  // first voxel. After a look-up of a block that is not held, m_last is null
  // and the block counts as uniformly default.
  Word* m_lastData = nullptr;
  bool m_lastUniform = false;
  VoxelType m_lastUniformValue{};
  std::array<std::uint32_t, 3> m_lastOrigin{};
};

} // namespace Vox

#endif
