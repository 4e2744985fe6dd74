#ifndef ENTITY_MANAGER_H
#define ENTITY_MANAGER_H

// The mobs and players of one connection, keyed by the server's entity id,
// each shown by a mesh node that this container creates and erases.

#include <cstddef>
#include <memory>

#include <boost/ptr_container/ptr_map.hpp>

#include "Entities/Entity.h"
#include "Entities/Movable.h"

class MyOgre;

class EntityManager {
public:
  explicit EntityManager(MyOgre& ogre);
  // Erases the nodes of the entities still tracked: none stays behind in
  // the scene.
  ~EntityManager();
  EntityManager(const EntityManager&) = delete;
  EntityManager& operator=(const EntityManager&) = delete;

  // Tracks the entity under id with a new mesh node, unless id is tracked
  // already: then the newcomer is dropped and the tracked entity returned.
  Entities::Movable& spawn(int id, std::unique_ptr<Entities::Movable> entity);
  // Throws Entities::InvalidEntity when id is not tracked.
  Entities::Movable& get(int id);
  void destroy(int id);
  // Advances every entity once, in ascending id order.
  void update();

  std::size_t size() const { return m_entities.size(); }
  bool contains(int id) const { return m_entities.find(id) != m_entities.end(); }

private:
  void eraseNode(Entities::Renderable& entity);

  boost::ptr_map<int, Entities::Entity> m_entities;
  MyOgre& m_ogre;
};

#endif
