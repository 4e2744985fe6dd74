#include "WorldManager.h"

#include <iostream>

#include <OgreManualObject.h>
#include <OgreRenderOperation.h>
#include <OgreResourceGroupManager.h>

#include "ChunkRenderer.h"
#include "MyOgre.h"
#include "TerrainMaterial.h"

namespace {

const std::uint32_t WorldBlocksInMemory = 80000;
const std::uint32_t WorldUncompressedBlocks = 800;

// Shown by a loaded chunk until its first non-empty mesh arrives.
void drawPlaceholder(Ogre::ManualObject* object) {
  object->setDynamic(true);
  object->begin("TextureArray", Ogre::RenderOperation::OT_TRIANGLE_LIST,
                Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
  object->position(1, 2, 3);
  object->colour(0.1f, 0.2f, 0.3f, 0.4f);
  object->normal(0.1f, 0.2f, 0.3f);
  object->textureCoord(0, 0, 0, 0);
  object->position(2, 3, 4);
  object->colour(0.1f, 0.2f, 0.3f, 0.4f);
  object->normal(0.1f, 0.5f, 0.3f);
  object->textureCoord(1, 0, 0, 0);
  object->position(5, 6, 7);
  object->colour(0.1f, 0.2f, 0.3f, 0.4f);
  object->normal(0.9f, 0.2f, 0.3f);
  object->textureCoord(0, 1, 0, 0);
  object->end();
}

} // namespace

WorldManager::WorldManager(MyOgre& ogre)
    : m_ogre(ogre), m_volume(32), m_meshThread(m_volumeMutex, m_volume) {
  m_volume.setMaxNumberOfBlocksInMemory(WorldBlocksInMemory);
  m_volume.setMaxNumberOfUncompressedBlocks(WorldUncompressedBlocks);
  createTerrainMaterial();
}

WorldManager::~WorldManager() {
  for (const auto& chunk : m_OgreMeshes)
    m_ogre.eraseManualObject(chunk.second);
}

Ogre::ManualObject* WorldManager::chunkObject(ChunkPosition position) const {
  auto it = m_OgreMeshes.find(position);
  return it == m_OgreMeshes.end() ? nullptr : it->second;
}

void WorldManager::loadChunk(ChunkPosition position) {
  if (!m_sLoadedChunks.insert(position).second) {
    std::cout << "tried to load chunk twice: " << position.x << ", " << position.y << ", "
              << position.z << std::endl;
    return;
  }
  Ogre::ManualObject* object = m_ogre.createManualObject();
  m_OgreMeshes[position] = object;
  drawPlaceholder(object);
}

void WorldManager::unloadChunk(ChunkPosition position) {
  auto it = m_OgreMeshes.find(position);
  if (it == m_OgreMeshes.end()) {
    std::cout << "tried to unload chunk that was not loaded: " << position.x << ", "
              << position.y << ", " << position.z << std::endl;
    return;
  }
  m_sLoadedChunks.erase(position);
  m_ogre.eraseManualObject(it->second);
  m_OgreMeshes.erase(it);
}

void WorldManager::updateChunk(ChunkPosition position, bool withNeighbours) {
  if (!isLoaded(position)) {
    std::cout << "Stupid TS server sent us a chunk that it didn't tell us we should load"
              << std::endl;
    loadChunk(position);
  }
  if (!withNeighbours) {
    m_meshThread.queueChunkForUpdate(position);
    return;
  }
  for (std::int32_t x = position.x - 1; x <= position.x + 1; ++x) {
    for (std::int32_t z = position.z - 1; z <= position.z + 1; ++z) {
      const ChunkPosition neighbour(x, position.y, z);
      if (isLoaded(neighbour))
        m_meshThread.queueChunkForUpdate(neighbour);
    }
  }
}

std::size_t WorldManager::update() {
  ChunkPosition position;
  Mesh mesh;
  std::size_t drawn = 0;
  for (; m_meshThread.takeFinished(position, mesh); ++drawn)
    render(position, std::move(mesh));
  return drawn;
}

void WorldManager::render(ChunkPosition position, Mesh mesh) {
  if (position.y != 0) {
    std::cout << "ignored mesh of chunk outside the world's single layer: " << position.x
              << ", " << position.y << ", " << position.z << std::endl;
    return;
  }
  if (!isLoaded(position)) {
    std::cout << "tried to render chunk that was not loaded (yet|anymore)" << std::endl;
    return;
  }
  if (mesh->getNoOfVertices() == 0)
    return;
  Ogre::ManualObject* object = m_OgreMeshes.at(position);
  const Vox::Vector3DInt32 corner = chunkLowerCorner(position);
  const Vox::Vector3DFloat origin(float(corner.x), float(corner.y), float(corner.z));
  const auto& vertices = mesh->getVertices();
  const auto& indices = mesh->getIndices();
  const int begin = mesh->m_vecLodRecords.empty() ? 0 : mesh->m_vecLodRecords.front().beginIndex;
  const int end = mesh->m_vecLodRecords.empty() ? int(indices.size())
                                                : mesh->m_vecLodRecords.front().endIndex;
  object->beginUpdate(0);
  for (int i = begin; i + 2 < end; i += 3)
    drawMeshTriangle(object, vertices[indices[i]], vertices[indices[i + 1]],
                     vertices[indices[i + 2]], origin);
  object->end();
}
