#include "TerrainMaterial.h"

#include <array>

#include <OgreHardwarePixelBuffer.h>
#include <OgreHighLevelGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreImage.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>

namespace {

const char* const TextureName = "TextureArrayTex";
const char* const VertexProgramName = "my_ts_vertex_shader";
const char* const FragmentProgramName = "my_ts_pixel_shader";

// Layer i of the texture array shows image i.
const std::array<const char*, 24> LayerImages = {
    "Abstract_15.jpg", "tm006_COLOR.jpg",     "Snow_01_UV_H_CM_1.jpg", "Rock_02_UV_H_CM_1.jpg",
    "Blue_18.jpg",     "tm003_COLOR.jpg",     "tm007_COLOR.jpg",       "sand.jpg",
    "sandstone.jpg",   "bark.jpg",            "leaves.jpg",            "ice.jpg",
    "clay.jpg",        "coal_ore.jpg",        "iron_ore.jpg",          "gold_ore.jpg",
    "diamond_ore.jpg", "redstone_ore.jpg",    "lapis_ore.jpg",         "lava.jpg",
    "planks.jpg",      "obsidian.jpg",        "netherrack.jpg",        "brick.jpg",
};

const Ogre::String& group() { return Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME; }

void fillLayer(const Ogre::TexturePtr& texture, Ogre::uint32 layer, const char* imageName) {
  Ogre::Image image;
  image.load(imageName, group());
  // A larger picture is scaled to fit rather than cut, so that it still
  // tiles.
  if (image.getWidth() > TerrainTextureSize || image.getHeight() > TerrainTextureSize)
    image.resize(Ogre::ushort(std::min(image.getWidth(), TerrainTextureSize)),
                 Ogre::ushort(std::min(image.getHeight(), TerrainTextureSize)));
  const Ogre::uint32 width = image.getWidth();
  const Ogre::uint32 height = image.getHeight();
  Ogre::HardwarePixelBufferSharedPtr buffer = texture->getBuffer(0, 0);
  const Ogre::PixelBox& locked =
      buffer->lock(Ogre::Box(0, 0, layer, width, height, layer + 1), Ogre::HardwareBuffer::HBL_DISCARD);
  Ogre::PixelUtil::bulkPixelConversion(image.getPixelBox(0, 0), locked);
  buffer->unlock();
}

void createTextureArray() {
  Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().createManual(
      TextureName, group(), Ogre::TEX_TYPE_2D_ARRAY, TerrainTextureSize, TerrainTextureSize,
      static_cast<Ogre::uint>(LayerImages.size()), 0, Ogre::PF_X8R8G8B8);
  for (Ogre::uint32 layer = 0; layer < LayerImages.size(); ++layer)
    fillLayer(texture, layer, LayerImages[layer]);
}

void attachProgram(Ogre::Pass* pass, const char* name, const char* sourceFile,
                   Ogre::GpuProgramType type) {
  auto& programs = Ogre::HighLevelGpuProgramManager::getSingleton();
  Ogre::HighLevelGpuProgramPtr program = programs.getByName(name, group());
  if (!program) {
    program = programs.createProgram(name, group(), "glsl", type);
    program->setSourceFile(sourceFile);
    program->load();
  }
  if (type == Ogre::GPT_VERTEX_PROGRAM)
    pass->setVertexProgram(name, true);
  else
    pass->setFragmentProgram(name, true);
}

void createMaterial() {
  Ogre::MaterialPtr material =
      Ogre::MaterialManager::getSingleton().create(TerrainMaterialName, group());
  Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
  pass->setLightingEnabled(false);
  pass->createTextureUnitState()->setTextureName(TextureName);
  attachProgram(pass, VertexProgramName, "ts_vertex_shader.c", Ogre::GPT_VERTEX_PROGRAM);
  attachProgram(pass, FragmentProgramName, "ts_pixel_shader.c", Ogre::GPT_FRAGMENT_PROGRAM);
  pass->getFragmentProgramParameters()->setNamedAutoConstant(
      "eyePosition", Ogre::GpuProgramParameters::ACT_CAMERA_POSITION);
  setTerrainFog(Ogre::ColourValue::Black, NoFog);
}

} // namespace

const char* terrainImageOfLayer(unsigned char layer) {
  return layer < LayerImages.size() ? LayerImages[layer] : LayerImages[0];
}

void setTerrainFog(const Ogre::ColourValue& colour, FogRange range) {
  Ogre::MaterialPtr material =
      Ogre::MaterialManager::getSingleton().getByName(TerrainMaterialName, group());
  if (!material)
    return;
  const Ogre::GpuProgramParametersSharedPtr& parameters =
      material->getTechnique(0)->getPass(0)->getFragmentProgramParameters();
  parameters->setNamedConstant("fogColour", colour);
  parameters->setNamedConstant("fogStart", range.start);
  parameters->setNamedConstant("fogInverseLength", 1.0f / (range.end - range.start));
}

void createTerrainMaterial() {
  if (!Ogre::TextureManager::getSingleton().resourceExists(TextureName, group()))
    createTextureArray();
  if (!Ogre::MaterialManager::getSingleton().resourceExists(TerrainMaterialName, group()))
    createMaterial();
}
