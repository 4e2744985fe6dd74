#ifndef ENTITY_MANAGER_H
#define ENTITY_MANAGER_H

// The mobs and players of one connection, keyed by the server's entity id,
// each shown by a mesh node that this container creates and erases, the
// players with their names over their heads and what they hold in their
// right hands. Their number has a limit, and
// entities are only placed within the world.

#include <cstddef>
#include <map>
#include <memory>

#include <boost/ptr_container/ptr_map.hpp>

#include "BurstLines.h"
#include "Entities/Entity.h"
#include "Entities/Movable.h"
#include "vox/Vector.h"

class MyOgre;
class NameTag;

namespace Ogre {
class Entity;
}

class EntityManager {
public:
  // The most entities tracked at once: many times what a server shows one
  // player (its mobs are capped by the hundred), few enough that every tick
  // moves and every frame draws them all.
  static constexpr std::size_t MaxEntities = 1024;

  explicit EntityManager(MyOgre& ogre);
  // Erases the nodes of the entities still tracked: none stays behind in
  // the scene.
  ~EntityManager();
  EntityManager(const EntityManager&) = delete;
  EntityManager& operator=(const EntityManager&) = delete;

  // Tracks the entity under id with a new mesh node, unless id is tracked
  // already: then the newcomer is dropped and the tracked entity returned.
  // With MaxEntities tracked a new id is not: null, and a line (one per
  // burst of them).
  Entities::Movable* spawn(int id, std::unique_ptr<Entities::Movable> entity);
  // Whether the server's place for entity id, in 1/32 of a block, lies
  // within the world's heights (WorldBounds.h); a line (one per burst) when
  // it does not.
  bool acceptsPlace(int id, const Vox::Vector3DInt32& place);
  // Throws Entities::InvalidEntity when id is not tracked.
  Entities::Movable& get(int id);
  void destroy(int id);
  // Shows the item in the hand of player id (entry 0 of its equipment) in
  // place of the one shown before; nothing for an entity that is no player.
  // Throws Entities::InvalidEntity when id is not tracked.
  void showHeldItem(int id);
  // Once per tick: advances every entity once, in ascending id order, and
  // ends the bursts of ignored packets that are over.
  void update();

  std::size_t size() const { return m_entities.size(); }
  bool contains(int id) const { return m_entities.find(id) != m_entities.end(); }

private:
  void eraseNode(int id, Entities::Renderable& entity);
  void addNameTag(int id, const Entities::Movable& entity);
  void dropHeldItem(int id);

  boost::ptr_map<int, Entities::Entity> m_entities;
  // The names over the players' heads, by entity id.
  std::map<int, std::unique_ptr<NameTag>> m_nameTags;
  // The items in the players' hands, by entity id; the scene manager owns
  // them, each hangs from its player's hand.
  std::map<int, Ogre::Entity*> m_heldItems;
  MyOgre& m_ogre;
  BurstLines m_excessSpawns;
  BurstLines m_outsideWorld;
};

#endif
