#include "ChunkRenderer.h"

#include <array>
#include <cmath>

#include <OgreManualObject.h>

namespace {

using Vertex = Vox::PositionMaterialNormal;
using Vec = Vox::Vector3DFloat;

constexpr std::array<unsigned char, 256> makeLayerTable() {
  std::array<unsigned char, 256> table{};
  table[1] = 3;  // stone
  table[2] = 1;  // grass
  table[3] = 5;  // dirt
  table[4] = 3;  // rock
  table[7] = 3;  // bedrock
  table[8] = 4;  // water
  table[9] = 4;  // still water
  table[13] = 6; // gravel
  return table;
}

constexpr std::array<unsigned char, 256> LayerTable = makeLayerTable();

Vec cross(Vec u, Vec v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// (A - B) x (C - B), normalised unless it is too short to divide by.
Vec faceNormal(const Vertex& a, const Vertex& b, const Vertex& c) {
  const Vec n = cross(a.getPosition() - b.getPosition(), c.getPosition() - b.getPosition());
  const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
  if (length < 0.0001)
    return n;
  return {float(n.x / length), float(n.y / length), float(n.z / length)};
}

unsigned char blockTypeOf(const Vertex& v) {
  return static_cast<unsigned char>(static_cast<int>(double(v.getMaterial()) + 0.5));
}

Vertex vertexAt(Vec position, Vec normal) {
  Vertex v;
  v.setPosition(position);
  v.setNormal(normal);
  return v;
}

// The sub-triangles when block types differ: a corner unlike both others gets
// the quadrilateral of the corner, its two edge midpoints and the centroid.
void drawSplitTriangle(Ogre::ManualObject* object, const Vertex& a, const Vertex& b,
                       const Vertex& c, unsigned char ma, unsigned char mb, unsigned char mc,
                       Vec normal, Vec origin) {
  const Vec pa = a.getPosition(), pb = b.getPosition(), pc = c.getPosition();
  const Vertex g = vertexAt((pa + pb + pc) * (1.0f / 3.0f), normal);
  const Vertex mab = vertexAt((pa + pb) * 0.5f, normal);
  const Vertex mbc = vertexAt((pb + pc) * 0.5f, normal);
  const Vertex mac = vertexAt((pa + pc) * 0.5f, normal);
  if (ma == mb) {
    drawTriangle(object, a, b, mbc, ma, origin);
    drawTriangle(object, a, g, mac, ma, origin);
    drawTriangle(object, c, mac, g, mc, origin);
    drawTriangle(object, c, g, mbc, mc, origin);
  } else if (ma == mc) {
    drawTriangle(object, a, mbc, c, ma, origin);
    drawTriangle(object, a, mab, g, ma, origin);
    drawTriangle(object, b, g, mab, mb, origin);
    drawTriangle(object, b, mbc, g, mb, origin);
  } else if (mb == mc) {
    drawTriangle(object, c, mac, b, mb, origin);
    drawTriangle(object, b, g, mab, mb, origin);
    drawTriangle(object, a, mab, g, ma, origin);
    drawTriangle(object, a, g, mac, ma, origin);
  } else {
    drawTriangle(object, c, mac, g, mc, origin);
    drawTriangle(object, c, g, mbc, mc, origin);
    drawTriangle(object, b, g, mab, mb, origin);
    drawTriangle(object, b, mbc, g, mb, origin);
    drawTriangle(object, a, mab, g, ma, origin);
    drawTriangle(object, a, g, mac, ma, origin);
  }
}

} // namespace

unsigned char layerOfBlockType(unsigned char blockType) { return LayerTable[blockType]; }

void drawMeshTriangle(Ogre::ManualObject* object, Vertex a, Vertex b, Vertex c, Vec origin) {
  const Vec normal = faceNormal(a, b, c);
  a.setNormal(normal);
  b.setNormal(normal);
  c.setNormal(normal);
  const unsigned char ma = blockTypeOf(a), mb = blockTypeOf(b), mc = blockTypeOf(c);
  if (ma == mb && mb == mc)
    drawTriangle(object, a, b, c, ma, origin);
  else
    drawSplitTriangle(object, a, b, c, ma, mb, mc, normal, origin);
}

void drawTriangle(Ogre::ManualObject* object, const Vertex& first, const Vertex& second,
                  const Vertex& third, unsigned char blockType, Vec origin) {
  const unsigned char layer = layerOfBlockType(blockType);
  drawVertex(object, first, layer, origin);
  drawVertex(object, second, layer, origin);
  drawVertex(object, third, layer, origin);
}

void drawVertex(Ogre::ManualObject* object, const Vertex& vertex, unsigned char layer,
                Vec origin) {
  const Vec w = vertex.getPosition() + origin;
  const Vec& n = vertex.getNormal();
  object->position(w.x, w.y, w.z);
  object->normal(n.x, n.y, n.z);
  object->textureCoord(w.x, w.y, w.z, float(layer));
}
