#include "world/WorldView.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

#include <OgreCamera.h>
#include <OgreManualObject.h>

#include "MyOgre.h"
#include "TerrainFog.h"
#include "TerrainMaterial.h"
#include "WorldBounds.h"
#include "world/DetailPolicy.h"
#include "world/WorldModel.h"

namespace {

// The chunk column that holds a point of the scene; the camera is kept
// within the world, and the column of a point beyond it is its edge's.
ChunkPosition columnAt(const Ogre::Vector3& point) {
  return WorldBounds::columnOf(point.x, point.z);
}

// Squared horizontal distance from a point to a chunk's middle.
double squaredDistance(const Ogre::Vector3& point, ChunkPosition chunk) {
  const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
  const double dx = corner.x + ChunkSizeX / 2.0 - point.x;
  const double dz = corner.z + ChunkSizeZ / 2.0 - point.z;
  return dx * dx + dz * dz;
}

} // namespace

WorldView::WorldView(MyOgre& shell, WorldModel& model, std::optional<int> viewDistance)
    : m_shell(shell), m_model(model), m_viewDistance(viewDistance) {
  createTerrainMaterial();
}

WorldView::~WorldView() {
  for (auto& chunk : m_drawn)
    eraseObject(chunk.second);
}

float WorldView::farClipDistance(int viewDistance) {
  const double reachX = (double(viewDistance) + 1) * ChunkSizeX;
  const double reachZ = (double(viewDistance) + 1) * ChunkSizeZ;
  return float(std::sqrt(reachX * reachX + reachZ * reachZ + double(ChunkSizeY) * ChunkSizeY));
}

ChunkPosition WorldView::eyeColumn() const {
  return columnAt(m_shell.camera()->getDerivedPosition());
}

Ogre::ManualObject* WorldView::chunkObject(ChunkPosition position) const {
  const auto drawn = m_drawn.find(position);
  return drawn == m_drawn.end() ? nullptr : drawn->second.object;
}

std::size_t WorldView::chunkCount() const {
  return std::size_t(std::count_if(m_drawn.begin(), m_drawn.end(),
                                   [](const auto& drawn) { return drawn.second.object; }));
}

void WorldView::forgetUnloaded() {
  const ChunkStates& loaded = m_model.chunks();
  for (auto drawn = m_drawn.begin(); drawn != m_drawn.end();) {
    const auto chunk = loaded.find(drawn->first);
    if (chunk == loaded.end() || chunk->second.load != drawn->second.load)
      drawn = forget(drawn);
    else
      ++drawn;
  }
}

WorldView::DrawnChunks::iterator WorldView::forget(DrawnChunks::iterator drawn) {
  eraseObject(drawn->second);
  m_sectionWalk.forget(drawn->first);
  return m_drawn.erase(drawn);
}

void WorldView::eraseObject(DrawnChunk& drawn) {
  if (drawn.object)
    m_shell.eraseManualObject(drawn.object);
  drawn.object = nullptr;
  drawn.bounds = SectionBounds();
}

std::size_t WorldView::drawFinishedMeshes(Clock::time_point start) {
  forgetUnloaded();
  const Ogre::Vector3 eye = m_shell.camera()->getDerivedPosition();
  std::vector<std::pair<double, ChunkPosition>> order;
  order.reserve(m_model.finishedMeshes().size());
  for (const auto& finished : m_model.finishedMeshes())
    order.emplace_back(squaredDistance(eye, finished.first), finished.first);
  std::sort(order.begin(), order.end());
  std::size_t drawn = 0;
  for (const auto& [distance, position] : order) {
    if (drawn > 0 && Clock::now() - start >= m_drawBudget)
      break;
    draw(position, m_model.takeFinishedMesh(position));
    ++drawn;
  }
  return drawn;
}

void WorldView::draw(ChunkPosition position, Mesh mesh) {
  if (position.y != 0) {
    std::cout << "ignored mesh of chunk outside the world's single layer: " << position.x
              << ", " << position.y << ", " << position.z << std::endl;
    return;
  }
  const auto chunk = m_model.chunks().find(position);
  if (chunk == m_model.chunks().end()) {
    std::cout << "tried to render chunk that was not loaded (yet|anymore)" << std::endl;
    return;
  }
  auto drawn = m_drawn.find(position);
  if (drawn != m_drawn.end() && drawn->second.load != chunk->second.load) {
    forget(drawn);
    drawn = m_drawn.end();
  }
  if (drawn == m_drawn.end())
    drawn = m_drawn.emplace(position, DrawnChunk{chunk->second.load, nullptr, {}}).first;
  m_sectionWalk.setLinks(position, mesh->links);
  if (mesh->empty())
    eraseObject(drawn->second);
  else
    drawSurface(drawn->second, *mesh);
}

// An object that fails on the way is erased rather than left half drawn.
void WorldView::drawSurface(DrawnChunk& drawn, const ChunkMesh& mesh) {
  if (!drawn.object)
    drawn.object = m_shell.createManualObject();
  try {
    drawn.bounds = drawTerrainSections(drawn.object, mesh.sections);
  } catch (...) {
    eraseObject(drawn);
    throw;
  }
}

void WorldView::cull() {
  forgetUnloaded();
  const Ogre::Camera* camera = m_shell.camera();
  const Ogre::Vector3 eye = camera->getDerivedPosition();
  const ChunkPosition eyeColumn = columnAt(eye);
  const int reach = shownRadius(eyeColumn);
  setTerrainFog(m_shell.sky().colour(), fogRangeFor(reach));
  m_sectionWalk.walk({eye.x, eye.y, eye.z}, std::min(reach, SectionWalk::MaxRadius));
  m_culledChunks = m_shownSections = m_sectionCount = 0;
  for (const auto& [position, drawn] : m_drawn) {
    if (!drawn.object)
      continue;
    const bool near = !m_viewDistance || columnDistance(position, eyeColumn) <= *m_viewDistance;
    drawn.object->setVisible(near);
    const bool inView = near && camera->isVisible(drawn.object->getWorldBoundingBox(true));
    m_culledChunks += !inView;
    SectionMask shown;
    for (int section = 0; section < SectionsPerColumn; ++section) {
      const Ogre::AxisAlignedBox& box = drawn.bounds[std::size_t(section)];
      if (box.isNull())
        continue;
      ++m_sectionCount;
      shown[std::size_t(section)] =
          inView && m_sectionWalk.visible(position, section) && camera->isVisible(box);
    }
    m_shownSections += shown.count();
    showTerrainSections(drawn.object, shown);
  }
}

int WorldView::shownRadius(ChunkPosition eyeColumn) const {
  std::int64_t radius = 0;
  for (const auto& chunk : m_model.chunks())
    radius = std::max(radius, columnDistance(chunk.first, eyeColumn));
  if (m_viewDistance)
    radius = std::min<std::int64_t>(radius, *m_viewDistance);
  return int(std::min<std::int64_t>(radius, std::numeric_limits<int>::max()));
}
