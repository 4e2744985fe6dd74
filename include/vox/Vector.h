#ifndef VOX_VECTOR_H
#define VOX_VECTOR_H

#include <cstdint>
#include <tuple>

namespace Vox {

// Integer 3-D position, ordered lexicographically on x, then y, then z.
struct Vector3DInt32 {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;

  constexpr Vector3DInt32() = default;
  constexpr Vector3DInt32(std::int32_t x, std::int32_t y, std::int32_t z) : x(x), y(y), z(z) {}

  constexpr std::int32_t getX() const { return x; }
  constexpr std::int32_t getY() const { return y; }
  constexpr std::int32_t getZ() const { return z; }

  friend constexpr Vector3DInt32 operator+(Vector3DInt32 a, Vector3DInt32 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
  }
  friend constexpr Vector3DInt32 operator-(Vector3DInt32 a, Vector3DInt32 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
  }
  friend constexpr bool operator==(Vector3DInt32 a, Vector3DInt32 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
  friend constexpr bool operator!=(Vector3DInt32 a, Vector3DInt32 b) { return !(a == b); }
  friend bool operator<(Vector3DInt32 a, Vector3DInt32 b) {
    return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
  }
};

// Single-precision 3-D vector: mesh positions and normals.
struct Vector3DFloat {
  float x = 0;
  float y = 0;
  float z = 0;

  constexpr Vector3DFloat() = default;
  constexpr Vector3DFloat(float x, float y, float z) : x(x), y(y), z(z) {}

  constexpr float getX() const { return x; }
  constexpr float getY() const { return y; }
  constexpr float getZ() const { return z; }

  friend constexpr Vector3DFloat operator+(Vector3DFloat a, Vector3DFloat b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
  }
  friend constexpr Vector3DFloat operator-(Vector3DFloat a, Vector3DFloat b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
  }
  friend constexpr Vector3DFloat operator*(Vector3DFloat a, float s) {
    return {a.x * s, a.y * s, a.z * s};
  }
  friend constexpr bool operator==(Vector3DFloat a, Vector3DFloat b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
};

// Double-precision 3-D vector: the player's place and motion, in blocks.
struct Vector3DDouble {
  double x = 0;
  double y = 0;
  double z = 0;

  constexpr Vector3DDouble() = default;
  constexpr Vector3DDouble(double x, double y, double z) : x(x), y(y), z(z) {}

  friend constexpr Vector3DDouble operator+(Vector3DDouble a, Vector3DDouble b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
  }
  friend constexpr Vector3DDouble operator-(Vector3DDouble a, Vector3DDouble b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
  }
  friend constexpr Vector3DDouble operator*(Vector3DDouble a, double s) {
    return {a.x * s, a.y * s, a.z * s};
  }
  friend constexpr bool operator==(Vector3DDouble a, Vector3DDouble b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
};

} // namespace Vox

#endif
