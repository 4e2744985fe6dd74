#include "EntityManager.h"

#include <sstream>
#include <string>
#include <utility>

#include <OgreSceneNode.h>

#include "Entities/InvalidEntity.h"
#include "MyOgre.h"
#include "WorldBounds.h"

namespace {

const std::string BeyondCount =
    "beyond the " + std::to_string(EntityManager::MaxEntities) + " tracked";

// Entity positions are in 1/32 of a block.
double blocks(std::int32_t position) { return position / 32.0; }

} // namespace

EntityManager::EntityManager(MyOgre& ogre)
    : m_ogre(ogre), m_excessSpawns("ignored", "entity spawns " + BeyondCount),
      m_outsideWorld("ignored", "entity places outside the world") {}

EntityManager::~EntityManager() {
  for (auto entry : m_entities) {
    if (auto* renderable = dynamic_cast<Entities::Renderable*>(entry.second)) {
      eraseNode(*renderable);
    }
  }
}

Entities::Movable* EntityManager::spawn(int id, std::unique_ptr<Entities::Movable> entity) {
  // A second spawn for a tracked id keeps the tracked entity and its node; the
  // newcomer never gets one.
  if (contains(id))
    return &get(id);
  if (size() >= MaxEntities) {
    m_excessSpawns.note(
        [&] { return "ignored spawn of entity " + std::to_string(id) + " " + BeyondCount; });
    return nullptr;
  }
  Ogre::SceneNode* node = m_ogre.createMesh(entity->getMeshName());
  const float scale = static_cast<float>(entity->getMeshScale());
  node->setScale(scale, scale, scale);
  entity->m_sceneNode = node;
  int key = id;
  m_entities.insert(key, entity.release());
  return &get(id);
}

bool EntityManager::acceptsPlace(int id, const Vox::Vector3DInt32& place) {
  if (WorldBounds::contains(blocks(place.x), blocks(place.y), blocks(place.z)))
    return true;
  m_outsideWorld.note([&] {
    std::ostringstream line;
    line << "ignored entity " << id << " placed outside the world at " << blocks(place.x) << ", "
         << blocks(place.y) << ", " << blocks(place.z);
    return line.str();
  });
  return false;
}

Entities::Movable& EntityManager::get(int id) {
  const auto found = m_entities.find(id);
  if (found == m_entities.end()) {
    throw Entities::InvalidEntity();
  }
  return dynamic_cast<Entities::Movable&>(*found->second);
}

void EntityManager::destroy(int id) {
  Entities::Movable& entity = get(id);
  eraseNode(entity);
  m_entities.erase(id);
}

void EntityManager::update() {
  for (auto entry : m_entities) {
    entry.second->update();
  }
  m_excessSpawns.end();
  m_outsideWorld.end();
}

void EntityManager::eraseNode(Entities::Renderable& entity) {
  if (entity.m_sceneNode) {
    m_ogre.eraseMesh(entity.m_sceneNode);
    entity.m_sceneNode = nullptr;
  }
}
