#include "ChunkRenderer.h"

#include <OgreHardwareBufferManager.h>
#include <OgreManualObject.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>

#include "TerrainMaterial.h"

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

void writeSection(Ogre::RenderOperation* operation, const TerrainMesh& mesh) {
  writeVertices(operation->vertexData, mesh.vertices);
  if (!operation->indexData)
    operation->indexData = OGRE_NEW Ogre::IndexData();
  if (mesh.longIndices.empty())
    writeIndices(operation->indexData, mesh.shortIndices);
  else
    writeIndices(operation->indexData, mesh.longIndices);
  operation->useIndexes = true;
}

// A section with nothing to draw, which the object leaves out of the
// render queue; its buffers are released.
void clearSection(Ogre::RenderOperation* operation) {
  operation->vertexData->vertexBufferBinding->unsetAllBindings();
  operation->vertexData->vertexCount = 0;
  if (!operation->indexData)
    operation->indexData = OGRE_NEW Ogre::IndexData();
  operation->indexData->indexBuffer.reset();
  operation->indexData->indexCount = 0;
  operation->useIndexes = true;
}

// Sections are made with one vertex (the object drops a section made
// empty) whose buffers the first mesh replaces.
void addSections(Ogre::ManualObject* object) {
  while (object->getSections().size() < SectionsPerColumn) {
    object->begin(TerrainMaterialName, Ogre::RenderOperation::OT_TRIANGLE_LIST,
                  Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    object->position(0, 0, 0);
    object->end();
  }
}

Ogre::AxisAlignedBox boundsOf(const TerrainMesh& mesh) {
  return Ogre::AxisAlignedBox(mesh.lower.x, mesh.lower.y, mesh.lower.z, mesh.upper.x,
                              mesh.upper.y, mesh.upper.z);
}

void setBounds(Ogre::ManualObject* object, const Ogre::AxisAlignedBox& bounds) {
  object->setBoundingBox(bounds);
  // The node's own bounds, which culling tests first, follow only when it
  // is told.
  if (Ogre::SceneNode* node = object->getParentSceneNode())
    node->needUpdate();
}

} // namespace

SectionBounds drawTerrainSections(Ogre::ManualObject* object, const SectionMeshes& meshes) {
  addSections(object);
  SectionBounds bounds;
  Ogre::AxisAlignedBox all;
  for (unsigned section = 0; section < meshes.size(); ++section) {
    Ogre::RenderOperation* operation = object->getSections()[section]->getRenderOperation();
    if (meshes[section].empty()) {
      clearSection(operation);
    } else {
      writeSection(operation, meshes[section]);
      bounds[section] = boundsOf(meshes[section]);
      all.merge(bounds[section]);
    }
  }
  setBounds(object, all);
  return bounds;
}

void showTerrainSections(Ogre::ManualObject* object, SectionMask shown) {
  for (unsigned section = 0; section < shown.size(); ++section) {
    Ogre::IndexData* indices = object->getSections()[section]->getRenderOperation()->indexData;
    if (indices && indices->indexBuffer)
      indices->indexCount = shown[section] ? indices->indexBuffer->getNumIndexes() : 0;
  }
}
