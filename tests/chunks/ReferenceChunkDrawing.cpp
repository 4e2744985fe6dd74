#include "ReferenceChunkDrawing.h"

#include <cmath>

#include <OgreHighLevelGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>

#include "BlockLayers.h"

const char* const ReferenceMaterialName = "ReferenceTerrain";

namespace {

using Vertex = Vox::PositionMaterialNormal;
using Vec = Vox::Vector3DFloat;

const char* const VertexSource = R"(#version 130
out vec3 worldPosition;
out vec3 faceNormal;
out float layer;
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    worldPosition = gl_MultiTexCoord0.xyz;
    faceNormal = gl_Normal;
    layer = gl_MultiTexCoord0.w;
}
)";

const char* const FragmentSource = R"(#version 130
uniform sampler2DArray terrain;
in vec3 worldPosition;
in vec3 faceNormal;
in float layer;
const vec3 lightDirection = vec3(0.30304576, 0.80812204, 0.50507627);
const float blocksPerPicture = 4.0;
void main()
{
    vec3 normal = length(faceNormal) > 1e-6 ? normalize(faceNormal) : vec3(0.0, 1.0, 0.0);
    vec3 axis = abs(normal);
    vec2 uv;
    if (axis.y >= axis.x && axis.y >= axis.z)
        uv = worldPosition.xz;
    else if (axis.x >= axis.z)
        uv = worldPosition.zy;
    else
        uv = worldPosition.xy;
    vec4 colour = texture(terrain, vec3(uv / blocksPerPicture, floor(layer + 0.5)));
    float light = 0.35 + 0.65 * abs(dot(normal, lightDirection));
    gl_FragColor = vec4(colour.rgb * light, 1.0);
}
)";

void attachProgram(Ogre::Pass* pass, const char* name, const char* source,
                   Ogre::GpuProgramType type) {
  Ogre::HighLevelGpuProgramPtr program = Ogre::HighLevelGpuProgramManager::getSingleton().createProgram(
      name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, "glsl", type);
  program->setSource(source);
  program->load();
  if (type == Ogre::GPT_VERTEX_PROGRAM)
    pass->setVertexProgram(name, true);
  else
    pass->setFragmentProgram(name, true);
}

Vec cross(Vec u, Vec v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

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

struct Writer {
  Ogre::ManualObject* object;
  Vec normal;
  Vec origin;

  void vertex(Vec position, unsigned char layer) const {
    const Vec w = position + origin;
    object->position(w.x, w.y, w.z);
    object->normal(normal.x, normal.y, normal.z);
    object->textureCoord(w.x, w.y, w.z, float(layer));
  }
  void triangle(Vec first, Vec second, Vec third, unsigned char blockType) const {
    const unsigned char layer = layerOfBlockType(blockType);
    vertex(first, layer);
    vertex(second, layer);
    vertex(third, layer);
  }
};

void drawMeshTriangle(const Writer& out, const Vertex& va, const Vertex& vb, const Vertex& vc) {
  const Vec a = va.getPosition(), b = vb.getPosition(), c = vc.getPosition();
  const unsigned char ma = blockTypeOf(va), mb = blockTypeOf(vb), mc = blockTypeOf(vc);
  if (ma == mb && mb == mc) {
    out.triangle(a, b, c, ma);
    return;
  }
  const Vec g = (a + b + c) * (1.0f / 3.0f);
  const Vec mab = (a + b) * 0.5f, mbc = (b + c) * 0.5f, mac = (a + c) * 0.5f;
  if (ma == mb) {
    out.triangle(a, b, mbc, ma);
    out.triangle(a, g, mac, ma);
    out.triangle(c, mac, g, mc);
    out.triangle(c, g, mbc, mc);
  } else if (ma == mc) {
    out.triangle(a, mbc, c, ma);
    out.triangle(a, mab, g, ma);
    out.triangle(b, g, mab, mb);
    out.triangle(b, mbc, g, mb);
  } else if (mb == mc) {
    out.triangle(c, mac, b, mb);
    out.triangle(b, g, mab, mb);
    out.triangle(a, mab, g, ma);
    out.triangle(a, g, mac, ma);
  } else {
    out.triangle(c, mac, g, mc);
    out.triangle(c, g, mbc, mc);
    out.triangle(b, g, mab, mb);
    out.triangle(b, mbc, g, mb);
    out.triangle(a, mab, g, ma);
    out.triangle(a, g, mac, ma);
  }
}

} // namespace

void createReferenceMaterial() {
  Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(
      ReferenceMaterialName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
  Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
  pass->setLightingEnabled(false);
  pass->createTextureUnitState()->setTextureName("TextureArrayTex");
  attachProgram(pass, "reference_vertex", VertexSource, Ogre::GPT_VERTEX_PROGRAM);
  attachProgram(pass, "reference_fragment", FragmentSource, Ogre::GPT_FRAGMENT_PROGRAM);
}

void drawReferenceChunk(Ogre::ManualObject* object,
                        const Vox::SurfaceMesh<Vox::PositionMaterialNormal>& surface, Vec origin) {
  object->begin(ReferenceMaterialName, Ogre::RenderOperation::OT_TRIANGLE_LIST);
  const auto& vertices = surface.getVertices();
  const auto& indices = surface.getIndices();
  for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
    const Vertex &a = vertices[indices[i]], &b = vertices[indices[i + 1]],
                 &c = vertices[indices[i + 2]];
    drawMeshTriangle(Writer{object, faceNormal(a, b, c), origin}, a, b, c);
  }
  object->end();
}
