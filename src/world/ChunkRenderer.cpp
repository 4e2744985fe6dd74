#include "ChunkRenderer.h"

#include <OgreHardwareBufferManager.h>
#include <OgreManualObject.h>
#include <OgreSceneNode.h>

namespace {

Ogre::HardwareBufferManager& buffers() { return Ogre::HardwareBufferManager::getSingleton(); }

void writeVertices(Ogre::VertexData* data, const std::vector<TerrainVertex>& vertices) {
  Ogre::VertexDeclaration* declaration = data->vertexDeclaration;
  declaration->removeAllElements();
  declaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
  declaration->addElement(0, offsetof(TerrainVertex, unused), Ogre::VET_SHORT4,
                          Ogre::VES_TEXTURE_COORDINATES, 0);
  Ogre::HardwareVertexBufferSharedPtr buffer = buffers().createVertexBuffer(
      sizeof(TerrainVertex), vertices.size(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
  buffer->writeData(0, buffer->getSizeInBytes(), vertices.data(), true);
  data->vertexBufferBinding->unsetAllBindings();
  data->vertexBufferBinding->setBinding(0, buffer);
  data->vertexStart = 0;
  data->vertexCount = vertices.size();
}

template <typename Index>
void writeIndices(Ogre::IndexData* data, const std::vector<Index>& indices) {
  const auto type = sizeof(Index) == 2 ? Ogre::HardwareIndexBuffer::IT_16BIT
                                       : Ogre::HardwareIndexBuffer::IT_32BIT;
  data->indexBuffer = buffers().createIndexBuffer(type, indices.size(),
                                                  Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
  data->indexBuffer->writeData(0, data->indexBuffer->getSizeInBytes(), indices.data(), true);
  data->indexStart = 0;
  data->indexCount = indices.size();
}

} // namespace

void drawTerrainMesh(Ogre::ManualObject* object, const TerrainMesh& mesh) {
  Ogre::RenderOperation* operation = object->getSections().front()->getRenderOperation();
  writeVertices(operation->vertexData, mesh.vertices);
  if (!operation->indexData)
    operation->indexData = OGRE_NEW Ogre::IndexData();
  if (mesh.longIndices.empty())
    writeIndices(operation->indexData, mesh.shortIndices);
  else
    writeIndices(operation->indexData, mesh.longIndices);
  operation->useIndexes = true;
  object->setBoundingBox(Ogre::AxisAlignedBox(mesh.lower.x, mesh.lower.y, mesh.lower.z,
                                              mesh.upper.x, mesh.upper.y, mesh.upper.z));
  // The node's own bounds, which culling tests first, follow only when it
  // is told.
  if (Ogre::SceneNode* node = object->getParentSceneNode())
    node->needUpdate();
}
