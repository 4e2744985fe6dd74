#include "EntityManager.h"

#include <utility>

#include <OgreSceneNode.h>

#include "Entities/InvalidEntity.h"
#include "MyOgre.h"

EntityManager::EntityManager(MyOgre& ogre) : m_ogre(ogre) {}

EntityManager::~EntityManager() {
  for (auto entry : m_entities) {
    if (auto* renderable = dynamic_cast<Entities::Renderable*>(entry.second)) {
      eraseNode(*renderable);
    }
  }
}

Entities::Movable& EntityManager::spawn(int id, std::unique_ptr<Entities::Movable> entity) {
  // A second spawn for a tracked id keeps the tracked entity and its node; the
  // newcomer never gets one.
  if (contains(id))
    return get(id);
  Ogre::SceneNode* node = m_ogre.createMesh(entity->getMeshName());
  const float scale = static_cast<float>(entity->getMeshScale());
  node->setScale(scale, scale, scale);
  entity->m_sceneNode = node;
  int key = id;
  m_entities.insert(key, entity.release());
  return get(id);
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
}

void EntityManager::eraseNode(Entities::Renderable& entity) {
  if (entity.m_sceneNode) {
    m_ogre.eraseMesh(entity.m_sceneNode);
    entity.m_sceneNode = nullptr;
  }
}
