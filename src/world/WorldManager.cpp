#include "WorldManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <vector>

#include <OgreCamera.h>
#include <OgreManualObject.h>
#include <OgreRenderOperation.h>
#include <OgreResourceGroupManager.h>

#include "ChunkRenderer.h"
#include "MyOgre.h"
#include "TerrainFog.h"
#include "TerrainMaterial.h"

namespace {

// Shown by a loaded chunk until its first non-empty mesh arrives.
void drawPlaceholder(Ogre::ManualObject* object) {
  object->setDynamic(true);
  object->begin(TerrainMaterialName, Ogre::RenderOperation::OT_TRIANGLE_LIST,
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

// The chunk column that holds a point of the scene.
ChunkPosition columnAt(const Ogre::Vector3& point) {
  return chunkOfBlock(std::int32_t(std::floor(point.x)), 0, std::int32_t(std::floor(point.z)));
}

// Columns between two chunks, along the farther axis.
std::int64_t columnDistance(ChunkPosition a, ChunkPosition b) {
  return std::max(std::llabs(std::int64_t(a.x) - b.x), std::llabs(std::int64_t(a.z) - b.z));
}

// Squared horizontal distance from a point to a chunk's middle.
double squaredDistance(const Ogre::Vector3& point, ChunkPosition chunk) {
  const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
  const double dx = corner.x + ChunkSizeX / 2.0 - point.x;
  const double dz = corner.z + ChunkSizeZ / 2.0 - point.z;
  return dx * dx + dz * dz;
}

} // namespace

WorldManager::WorldManager(MyOgre& ogre, std::optional<int> viewDistance, int detailDistance,
                           int coarseDistance)
    : m_ogre(ogre), m_viewDistance(viewDistance), m_detailDistance(detailDistance),
      m_coarseDistance(coarseDistance),
      m_volume(WorldVolumeBlockSide),
      m_meshThread(m_volumeMutex, m_volume) {
  configureWorldVolume(m_volume);
  createTerrainMaterial();
}

float WorldManager::farClipDistance(int viewDistance) {
  const double reachX = (double(viewDistance) + 1) * ChunkSizeX;
  const double reachZ = (double(viewDistance) + 1) * ChunkSizeZ;
  return float(std::sqrt(reachX * reachX + reachZ * reachZ + double(ChunkSizeY) * ChunkSizeY));
}

WorldManager::~WorldManager() {
  for (const auto& chunk : m_OgreMeshes)
    m_ogre.eraseManualObject(chunk.second);
}

Ogre::ManualObject* WorldManager::chunkObject(ChunkPosition position) const {
  auto it = m_OgreMeshes.find(position);
  return it == m_OgreMeshes.end() ? nullptr : it->second;
}

// The chunk counts as loaded only once its object exists, so that a failure
// on the way leaves neither container holding it.
void WorldManager::loadChunk(ChunkPosition position) {
  if (isLoaded(position)) {
    std::cout << "tried to load chunk twice: " << position.x << ", " << position.y << ", "
              << position.z << std::endl;
    return;
  }
  Ogre::ManualObject* object = m_ogre.createManualObject();
  try {
    drawPlaceholder(object);
    m_OgreMeshes.emplace(position, object);
    m_sLoadedChunks.insert(position);
  } catch (...) {
    m_OgreMeshes.erase(position);
    m_ogre.eraseManualObject(object);
    throw;
  }
}

void WorldManager::unloadChunk(ChunkPosition position) {
  auto it = m_OgreMeshes.find(position);
  if (it == m_OgreMeshes.end()) {
    std::cout << "tried to unload chunk that was not loaded: " << position.x << ", "
              << position.y << ", " << position.z << std::endl;
    return;
  }
  m_sLoadedChunks.erase(position);
  m_meshLevel.erase(position);
  m_sectionBounds.erase(position);
  m_sectionWalk.forget(position);
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
    queueMesh(position);
    return;
  }
  m_chunksWithBlocks.insert(position);
  const Clock::time_point now = Clock::now();
  m_lastBlocksArrival = now;
  for (std::int32_t x = position.x - 1; x <= position.x + 1; ++x) {
    for (std::int32_t z = position.z - 1; z <= position.z + 1; ++z) {
      const ChunkPosition neighbour(x, position.y, z);
      if (isLoaded(neighbour))
        scheduleRemesh(neighbour, now);
    }
  }
}

bool WorldManager::neighbourhoodComplete(ChunkPosition position) const {
  for (std::int32_t x = position.x - 1; x <= position.x + 1; ++x)
    for (std::int32_t z = position.z - 1; z <= position.z + 1; ++z)
      if (m_chunksWithBlocks.count(ChunkPosition(x, position.y, z)) == 0)
        return false;
  return true;
}

void WorldManager::scheduleRemesh(ChunkPosition position, Clock::time_point now) {
  if (neighbourhoodComplete(position)) {
    m_remeshDeadlines.erase(position);
    queueMesh(position);
  } else {
    m_remeshDeadlines.emplace(position, now + NeighbourWait);
  }
}

void WorldManager::queueDueRemeshes(Clock::time_point now) {
  const bool quiet = now - m_lastBlocksArrival >= QuietWait;
  for (auto it = m_remeshDeadlines.begin(); it != m_remeshDeadlines.end();) {
    const ChunkPosition position = it->first;
    if (!isLoaded(position)) {
      it = m_remeshDeadlines.erase(it);
    } else if (quiet || now >= it->second || neighbourhoodComplete(position)) {
      queueMesh(position);
      it = m_remeshDeadlines.erase(it);
    } else {
      ++it;
    }
  }
}

void WorldManager::queueMesh(ChunkPosition position) {
  const MeshLevel level = wantedLevel(position);
  m_meshThread.queueChunkForUpdate(position, level.detail, level.finerSides);
  m_meshLevel[position] = level;
}

MeshDetail WorldManager::detailAt(std::int64_t distance) const {
  if (distance > m_coarseDistance)
    return MeshDetail::Coarse;
  return distance > m_detailDistance ? MeshDetail::Far : MeshDetail::Full;
}

// A chunk one column beyond a level's reach keeps the nearer level it has.
MeshDetail WorldManager::wantedDetail(ChunkPosition position) const {
  const std::int64_t distance = columnDistance(position, m_eyeColumn);
  const auto meshed = m_meshLevel.find(position);
  if (meshed != m_meshLevel.end() && meshed->second.detail == detailAt(distance - 1))
    return meshed->second.detail;
  return detailAt(distance);
}

// A neighbour that has not been meshed yet counts with the detail it will
// get, so that a coarse chunk is not meshed again as its neighbours follow.
MeshLevel WorldManager::wantedLevel(ChunkPosition position) const {
  const MeshDetail detail = wantedDetail(position);
  if (detail != MeshDetail::Coarse)
    return {detail, 0};
  const std::pair<ChunkSide, ChunkPosition> sides[] = {
      {LowXSide, {position.x - 1, position.y, position.z}},
      {HighXSide, {position.x + 1, position.y, position.z}},
      {LowZSide, {position.x, position.y, position.z - 1}},
      {HighZSide, {position.x, position.y, position.z + 1}}};
  unsigned finerSides = 0;
  for (const auto& [side, neighbour] : sides) {
    if (!isLoaded(neighbour))
      continue;
    const auto meshed = m_meshLevel.find(neighbour);
    const MeshDetail other = meshed != m_meshLevel.end() ? meshed->second.detail
                                                          : wantedDetail(neighbour);
    if (other != MeshDetail::Coarse)
      finerSides |= side;
  }
  return {detail, finerSides};
}

// Chunks still waiting for their neighbours get the right detail when they
// are meshed anyway.
void WorldManager::queueDetailChanges() {
  std::vector<std::pair<std::int64_t, ChunkPosition>> changes;
  for (const auto& [position, level] : m_meshLevel)
    if (level != wantedLevel(position) && m_remeshDeadlines.count(position) == 0)
      changes.emplace_back(columnDistance(position, m_eyeColumn), position);
  const std::size_t count = std::min(changes.size(), DetailRemeshesPerUpdate);
  std::partial_sort(changes.begin(), changes.begin() + std::ptrdiff_t(count), changes.end());
  for (std::size_t i = 0; i < count; ++i)
    queueMesh(changes[i].second);
}

std::size_t WorldManager::update() {
  const Clock::time_point start = Clock::now();
  m_eyeColumn = columnAt(m_ogre.camera()->getDerivedPosition());
  queueDueRemeshes(start);
  queueDetailChanges();
  collectFinishedMeshes();
  return drawNearestFirst(start);
}

// An empty mesh would leave its chunk's object as it is, so it neither
// replaces a waiting mesh nor waits itself.
void WorldManager::collectFinishedMeshes() {
  ChunkPosition position;
  Mesh mesh;
  while (m_meshThread.takeFinished(position, mesh)) {
    if (!isLoaded(position))
      render(position, std::move(mesh));
    else if (!mesh->empty())
      m_finishedMeshes[position] = std::move(mesh);
  }
}

std::size_t WorldManager::drawNearestFirst(Clock::time_point start) {
  const Ogre::Vector3 eye = m_ogre.camera()->getDerivedPosition();
  std::vector<std::pair<double, ChunkPosition>> order;
  order.reserve(m_finishedMeshes.size());
  for (const auto& finished : m_finishedMeshes)
    order.emplace_back(squaredDistance(eye, finished.first), finished.first);
  std::sort(order.begin(), order.end());
  std::size_t drawn = 0;
  for (const auto& [distance, position] : order) {
    if (drawn > 0 && Clock::now() - start >= m_drawBudget)
      break;
    auto it = m_finishedMeshes.find(position);
    Mesh mesh = std::move(it->second);
    m_finishedMeshes.erase(it);
    render(position, std::move(mesh));
    ++drawn;
  }
  return drawn;
}

void WorldManager::cull() {
  const Ogre::Camera* camera = m_ogre.camera();
  const Ogre::Vector3 eye = camera->getDerivedPosition();
  const ChunkPosition eyeColumn = m_eyeColumn;
  const int reach = shownRadius(eyeColumn);
  setTerrainFog(m_ogre.sky().colour(), fogRangeFor(reach));
  m_sectionWalk.walk({eye.x, eye.y, eye.z}, std::min(reach, SectionWalk::MaxRadius));
  m_culledChunks = m_shownSections = m_sectionCount = 0;
  for (const auto& [position, object] : m_OgreMeshes) {
    const bool near = !m_viewDistance || columnDistance(position, eyeColumn) <= *m_viewDistance;
    object->setVisible(near);
    const bool inView = near && camera->isVisible(object->getWorldBoundingBox(true));
    m_culledChunks += !inView;
    const auto bounds = m_sectionBounds.find(position);
    if (bounds == m_sectionBounds.end())
      continue;
    SectionMask shown;
    for (int section = 0; section < SectionsPerColumn; ++section) {
      const Ogre::AxisAlignedBox& box = bounds->second[std::size_t(section)];
      if (box.isNull())
        continue;
      ++m_sectionCount;
      shown[std::size_t(section)] =
          inView && m_sectionWalk.visible(position, section) && camera->isVisible(box);
    }
    m_shownSections += shown.count();
    showTerrainSections(object, shown);
  }
}

int WorldManager::shownRadius(ChunkPosition eyeColumn) const {
  std::int64_t radius = 0;
  for (const auto& chunk : m_OgreMeshes)
    radius = std::max(radius, columnDistance(chunk.first, eyeColumn));
  if (m_viewDistance)
    radius = std::min<std::int64_t>(radius, *m_viewDistance);
  return int(std::min<std::int64_t>(radius, std::numeric_limits<int>::max()));
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
  if (mesh->empty())
    return;
  m_sectionBounds[position] = drawTerrainSections(m_OgreMeshes.at(position), mesh->sections);
  m_sectionWalk.setLinks(position, mesh->links);
}
