#ifndef TS_VOXEL_H
#define TS_VOXEL_H

#include <cstdint>

// The world's voxel: a block type (0 is air) and a byte that is always 0.
// Solidity follows from the type alone: density 0 for air, 2 for any other
// type, threshold 1, so surfaces lie halfway between solid and air.
struct TSVoxel {
  using DensityType = std::uint8_t;
  using MaterialType = std::uint8_t;

  std::uint8_t m_type = 0;
  std::uint8_t m_reserved = 0;

  constexpr TSVoxel() = default;
  constexpr explicit TSVoxel(std::uint8_t type) : m_type(type) {}

  constexpr DensityType getDensity() const { return m_type == 0 ? 0 : 2; }
  constexpr MaterialType getMaterial() const { return m_type; }
  // Solidity cannot be set apart from the type.
  constexpr void setDensity(DensityType) {}
  static constexpr DensityType getThreshold() { return 1; }

  friend constexpr bool operator==(TSVoxel a, TSVoxel b) {
    return a.m_type == b.m_type && a.m_reserved == b.m_reserved;
  }
  friend constexpr bool operator!=(TSVoxel a, TSVoxel b) { return !(a == b); }
};

#endif
