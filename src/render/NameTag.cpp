#include "NameTag.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <OgreCamera.h>
#include <OgreFont.h>
#include <OgreFontManager.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgreNode.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>

namespace {

const char* const FontName = "Ferrowick/NameTagFont";
const char* const MaterialName = "Ferrowick/NameTag";
const char* const FontFile = "DejaVuSans.ttf";
// Glyphs drawn this large in the font's texture stay sharp at the height
// names are shown.
const float FontPoints = 28;
const unsigned int FontResolution = 96;
// Characters without a glyph in the font's texture show as this one.
const Ogre::Font::CodePoint Fallback = U'?';
// The shadow's offset to the lower right, and the width of a space, in
// letter heights.
const float ShadowOffset = 0.07f;
const float SpaceWidth = 0.3f;
// A viewport's height when the camera has none (no window).
const float DefaultViewportHeight = 600;

const Ogre::String& group() { return Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME; }

// The font and the material are made once and kept by their managers for
// every tag of the run.
Ogre::Font& font() {
  Ogre::FontManager& fonts = Ogre::FontManager::getSingleton();
  Ogre::FontPtr font = fonts.getByName(FontName, group());
  if (!font) {
    font = fonts.create(FontName, group());
    font->setType(Ogre::FT_TRUETYPE);
    font->setSource(FontFile);
    font->setTrueTypeSize(FontPoints);
    font->setTrueTypeResolution(FontResolution);
    // What the heads-up display covers: Latin with its extensions, Greek
    // and Cyrillic; the spaces have no glyph to draw.
    font->addCodePointRange({0x21, 0x7E});
    font->addCodePointRange({0xA1, 0x24F});
    font->addCodePointRange({0x370, 0x4FF});
  }
  font->load();
  return *font;
}

Ogre::MaterialPtr material() {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  Ogre::MaterialPtr material = materials.getByName(MaterialName, group());
  if (material)
    return material;
  const Ogre::TexturePtr glyphs =
      font().getMaterial()->getTechnique(0)->getPass(0)->getTextureUnitState(0)->_getTexturePtr();
  material = materials.create(MaterialName, group());
  Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
  pass->setLightingEnabled(false);
  pass->setDepthWriteEnabled(false);
  pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
  pass->setCullingMode(Ogre::CULL_NONE);
  Ogre::TextureUnitState* unit = pass->createTextureUnitState();
  unit->setTexture(glyphs);
  unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
  unit->setTextureFiltering(Ogre::TFO_BILINEAR);
  material->load();
  return material;
}

struct Vertex {
  float x, y, z;
  std::array<std::uint8_t, 4> rgba;
  float u, v;
};

void addQuad(std::vector<Vertex>& vertices, float left, float bottom, float width,
             const Ogre::Font::UVRect& uv, std::array<std::uint8_t, 4> rgba) {
  const Vertex lowLeft{left, bottom, 0, rgba, uv.left, uv.bottom};
  const Vertex lowRight{left + width, bottom, 0, rgba, uv.right, uv.bottom};
  const Vertex highRight{left + width, bottom + 1, 0, rgba, uv.right, uv.top};
  const Vertex highLeft{left, bottom + 1, 0, rgba, uv.left, uv.top};
  vertices.insert(vertices.end(), {lowLeft, lowRight, highRight, lowLeft, highRight, highLeft});
}

// The text one letter high, its bottom middle at the origin, in the x-y
// plane facing +z: each letter's shadow first, then the letters over them.
std::vector<Vertex> layOut(const Ogre::Font& font, const std::u32string& text) {
  struct Placed {
    float left, width;
    Ogre::Font::UVRect uv;
  };
  std::vector<Placed> placed;
  float width = 0;
  for (char32_t c : text) {
    Ogre::Font::UVRect uv = font.getGlyphTexCoords(c);
    Ogre::Font::CodePoint shown = c;
    if (uv.width() <= 0 && c != U' ' && c != 0xA0) {
      shown = Fallback;
      uv = font.getGlyphTexCoords(Fallback);
    }
    const float glyphWidth = uv.width() > 0 ? font.getGlyphAspectRatio(shown) : SpaceWidth;
    if (uv.width() > 0)
      placed.push_back({width, glyphWidth, uv});
    width += glyphWidth;
  }
  std::vector<Vertex> vertices;
  for (const Placed& glyph : placed)
    addQuad(vertices, glyph.left - width / 2 + ShadowOffset, -ShadowOffset, glyph.width, glyph.uv,
            {0, 0, 0, 200});
  for (const Placed& glyph : placed)
    addQuad(vertices, glyph.left - width / 2, 0, glyph.width, glyph.uv, {255, 255, 255, 255});
  return vertices;
}

} // namespace

NameTag::NameTag(const std::u32string& name, float lift) : m_lift(lift) {
  setMaterial(material());
  mBox.setInfinite();
  const std::vector<Vertex> vertices = layOut(font(), shownText(name));
  mRenderOp.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
  mRenderOp.useIndexes = false;
  mRenderOp.vertexData = new Ogre::VertexData();
  mRenderOp.vertexData->vertexCount = vertices.size();
  if (vertices.empty()) {
    setVisible(false);
    return;
  }
  Ogre::VertexDeclaration* declaration = mRenderOp.vertexData->vertexDeclaration;
  declaration->addElement(0, offsetof(Vertex, x), Ogre::VET_FLOAT3, Ogre::VES_POSITION);
  declaration->addElement(0, offsetof(Vertex, rgba), Ogre::VET_UBYTE4_NORM, Ogre::VES_DIFFUSE);
  declaration->addElement(0, offsetof(Vertex, u), Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES);
  Ogre::HardwareVertexBufferSharedPtr buffer =
      Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
          sizeof(Vertex), vertices.size(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
  buffer->writeData(0, sizeof(Vertex) * vertices.size(), vertices.data(), true);
  mRenderOp.vertexData->vertexBufferBinding->setBinding(0, buffer);
}

NameTag::~NameTag() { delete mRenderOp.vertexData; }

std::u32string NameTag::shownText(const std::u32string& name) {
  std::u32string shown;
  for (char32_t c : name) {
    if (shown.size() == MaxLength)
      break;
    if (c >= 0x20 && !(c >= 0x7F && c < 0xA0))
      shown += c;
  }
  return shown;
}

// Turned as the camera is, so that the text faces it squarely, and scaled
// with the distance, so that it keeps its height on the screen.
void NameTag::getWorldTransforms(Ogre::Matrix4* transform) const {
  const Ogre::Quaternion facing =
      mCamera ? mCamera->getDerivedOrientation() : Ogre::Quaternion::IDENTITY;
  const float size = height();
  transform->makeTransform(anchor(), Ogre::Vector3(size, size, size), facing);
}

Ogre::Real NameTag::getSquaredViewDepth(const Ogre::Camera* camera) const {
  return camera->getDerivedPosition().squaredDistance(anchor());
}

Ogre::Vector3 NameTag::anchor() const {
  const Ogre::Vector3 origin = mParentNode ? mParentNode->_getDerivedPosition() : Ogre::Vector3();
  return origin + Ogre::Vector3(0, m_lift, 0);
}

float NameTag::height() const {
  if (!mCamera)
    return MinHeight;
  const Ogre::Viewport* viewport = mCamera->getViewport();
  const float viewportHeight =
      viewport ? static_cast<float>(viewport->getActualHeight()) : DefaultViewportHeight;
  const float distance = mCamera->getDerivedPosition().distance(anchor());
  const float perPixel =
      2 * distance * std::tan(mCamera->getFOVy().valueRadians() / 2) / viewportHeight;
  return std::max(MinHeight, ScreenPixels * perPixel);
}
