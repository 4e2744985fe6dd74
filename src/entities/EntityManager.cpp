#include "EntityManager.h"

#include <sstream>
#include <string>
#include <utility>

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreTagPoint.h>
#include <OgreTechnique.h>

#include "BlockLayers.h"
#include "Entities/HeldItem.h"
#include "Entities/InvalidEntity.h"
#include "Entities/Named.h"
#include "LocaleText.h"
#include "MyOgre.h"
#include "NameTag.h"
#include "TerrainMaterial.h"
#include "WorldBounds.h"

namespace {

const std::string BeyondCount =
    "beyond the " + std::to_string(EntityManager::MaxEntities) + " tracked";

// Entity positions are in 1/32 of a block.
double blocks(std::int32_t position) { return position / 32.0; }

const char* const HeldItemMesh = "held-block.mesh";
const char* const HeldItemMaterial = "Ferrowick/HeldItem";
// The player model's right hand: the bone and, from its pivot at the
// shoulder, the middle of the fist, a little in front of the arm; in the
// model's units.
const char* const HandBone = "rightArm";
const Ogre::Vector3 HandOffset(0, -62, 10);
// Items other than blocks show as a thin square, seen from the side.
const Ogre::Vector3 FlatItemScale(0.15f, 1, 1);

// The held-item material with the block's terrain picture, made once per
// picture and kept by the material manager.
Ogre::MaterialPtr heldItemMaterial(unsigned char blockType) {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  const std::string picture = terrainImageOfLayer(layerOfBlockType(blockType));
  const std::string name = std::string(HeldItemMaterial) + "/" + picture;
  Ogre::MaterialPtr material = materials.getByName(name);
  if (material)
    return material;
  material = materials.getByName(HeldItemMaterial)->clone(name);
  material->getTechnique(0)->getPass(0)->getTextureUnitState(0)->setTextureName(picture);
  return material;
}

// The player's model, when it has the hand to hold something.
Ogre::Entity* modelWithHand(const Entities::Renderable& entity) {
  if (!entity.m_sceneNode || entity.m_sceneNode->numAttachedObjects() == 0)
    return nullptr;
  auto* model = dynamic_cast<Ogre::Entity*>(entity.m_sceneNode->getAttachedObject(0));
  if (!model || !model->hasSkeleton() || !model->getSkeleton()->hasBone(HandBone))
    return nullptr;
  return model;
}

} // namespace

EntityManager::EntityManager(MyOgre& ogre)
    : m_ogre(ogre), m_excessSpawns("ignored", "entity spawns " + BeyondCount),
      m_outsideWorld("ignored", "entity places outside the world") {}

EntityManager::~EntityManager() {
  for (auto entry : m_entities) {
    if (auto* renderable = dynamic_cast<Entities::Renderable*>(entry.second)) {
      eraseNode(entry.first, *renderable);
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
  addNameTag(id, *entity);
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
  eraseNode(id, entity);
  m_entities.erase(id);
}

void EntityManager::update() {
  for (auto entry : m_entities) {
    entry.second->update();
  }
  m_excessSpawns.end();
  m_outsideWorld.end();
}

// A player's name stands over the model's head; a name with nothing to show
// gets no tag.
void EntityManager::addNameTag(int id, const Entities::Movable& entity) {
  const auto* player = dynamic_cast<const Entities::Named*>(&entity);
  if (!player)
    return;
  const std::u32string name = NameTag::shownText(localeToCodePoints(player->m_name));
  if (name.empty())
    return;
  auto tag = std::make_unique<NameTag>(name, Entities::Named::NameHeight);
  entity.m_sceneNode->attachObject(tag.get());
  m_nameTags[id] = std::move(tag);
}

void EntityManager::showHeldItem(int id) {
  const Entities::Movable& entity = get(id);
  dropHeldItem(id);
  const auto* player = dynamic_cast<const Entities::Named*>(&entity);
  Ogre::Entity* model = player ? modelWithHand(*player) : nullptr;
  const Entities::HeldItem held =
      player ? Entities::heldItemOf(player->m_equipmentItems[0]) : Entities::HeldItem();
  if (!model || held.shape == Entities::HeldItem::Shape::Nothing)
    return;
  Ogre::Entity* item = m_ogre.sceneManager()->createEntity(HeldItemMesh);
  item->setMaterial(heldItemMaterial(held.blockType));
  Ogre::TagPoint* hand =
      model->attachObjectToBone(HandBone, item, Ogre::Quaternion::IDENTITY, HandOffset);
  if (held.shape == Entities::HeldItem::Shape::Flat)
    hand->setScale(FlatItemScale);
  m_heldItems[id] = item;
}

// Destroying the item takes it off the hand too.
void EntityManager::dropHeldItem(int id) {
  const auto held = m_heldItems.find(id);
  if (held == m_heldItems.end())
    return;
  m_ogre.sceneManager()->destroyEntity(held->second);
  m_heldItems.erase(held);
}

// The tag and the item go first: the mesh's node leaves the scene with the
// mesh.
void EntityManager::eraseNode(int id, Entities::Renderable& entity) {
  m_nameTags.erase(id);
  dropHeldItem(id);
  if (entity.m_sceneNode) {
    m_ogre.eraseMesh(entity.m_sceneNode);
    entity.m_sceneNode = nullptr;
  }
}
