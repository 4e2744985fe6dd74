// The game page's side of the player's items and health: the session's
// events keep the inventory and the health, the hotbar keys and the wheel
// choose the held slot, the death screen's key asks for a new life, and the
// server's respawn starts a new world as a login does.

#include <iostream>

#include "GamePages/ItemViews.h"
#include "GamePages/KeyNames.h"
#include "GamePages/Tessellar.h"

namespace GamePages {

namespace {

using Clock = std::chrono::steady_clock;

// How long the held item's name shows after a change, the last part fading.
const Clock::duration NameShown = std::chrono::milliseconds(2000);
const Clock::duration NameFading = std::chrono::milliseconds(500);

float nameOpacity(std::optional<Clock::time_point> chosenAt, Clock::time_point now) {
  if (!chosenAt || now - *chosenAt >= NameShown)
    return 0;
  const Clock::duration left = NameShown - (now - *chosenAt);
  if (left >= NameFading)
    return 1;
  return std::chrono::duration<float>(left) / std::chrono::duration<float>(NameFading);
}

} // namespace

void Tessellar::followItems(ClientSession::Events& events) {
  events.windowItems = [this](int windowId, const std::vector<ItemStack>& stacks) {
    if (!m_inventory.setItems(windowId, stacks))
      std::cout << "ignored window items for window " << windowId << ", which is not open"
                << std::endl;
    else if (m_inventory.dropped() > 0)
      std::cout << "ignored " << m_inventory.dropped() << " window items beyond the slots of window "
                << windowId << std::endl;
  };
  events.slotSet = [this](int windowId, int slot, const ItemStack& stack) {
    if (!m_inventory.setSlot(windowId, slot, stack))
      std::cout << "ignored slot " << slot << " of window " << windowId
                << ", which the window does not have" << std::endl;
  };
  events.health = [this](int health, int food) {
    const bool wasDead = m_health.dead();
    m_health.update(health, food, Clock::now());
    if (m_health.dead() && !wasDead)
      std::cout << "the player died" << std::endl;
  };
  events.respawned = [this] { respawned(); };
}

bool Tessellar::itemKeyPressed(OIS::KeyCode key) {
  const KeyBindings& keys = m_settings.keys;
  if (m_health.dead()) {
    if (keys.respawn != key)
      return false;
    requestRespawn();
    return true;
  }
  for (std::size_t slot = 0; slot < keys.hotbar.size(); ++slot)
    if (keys.hotbar[slot] == key) {
      holdSlot(static_cast<int>(slot));
      return true;
    }
  return false;
}

// Turning the wheel towards the player goes right along the bar.
void Tessellar::mouseWheel(int notches) {
  if (!playerActs() || m_headsUp->chatInput().isOpen() || m_screenOpen)
    return;
  if (m_inventory.scroll(-notches))
    holdSlot(m_inventory.held());
}

// The server hears of every choice, also one of the slot already held
// after a scroll came back to it.
void Tessellar::holdSlot(int slot) {
  m_inventory.hold(slot);
  m_heldChosenAt = Clock::now();
  m_session->holdSlot(m_inventory.held());
}

bool Tessellar::playerActs() const { return !m_health.dead(); }

HeldItem Tessellar::heldItem() const {
  const ItemStack& stack = m_inventory.heldStack();
  if (stack.empty())
    return HeldItem();
  return HeldItem{stack.itemId, static_cast<std::uint8_t>(stack.count), stack.damage};
}

void Tessellar::requestRespawn() {
  std::cout << "asking the server for a respawn" << std::endl;
  m_session->requestRespawn();
}

// The new life's world comes as after a login: its chunks, then the
// player's place.
void Tessellar::respawned() {
  m_screenOpen = false;
  m_inventory.close();
  if (m_world)
    startWorld();
}

void Tessellar::showPlayerState() {
  if (!m_world) {
    m_headsUp->showPlayer(std::nullopt, std::nullopt);
    return;
  }
  const Clock::time_point now = Clock::now();
  HotbarView hotbar;
  for (int slot = 0; slot < Inventory::HotbarSlots; ++slot)
    hotbar.slots[static_cast<std::size_t>(slot)] = slotView(m_inventory.hotbar(slot));
  hotbar.held = m_inventory.held();
  hotbar.heldName = itemName(m_inventory.heldStack());
  hotbar.nameOpacity = nameOpacity(m_heldChosenAt, now);
  std::optional<HealthView> health;
  if (m_health.known()) {
    health.emplace();
    health->health = m_health.health();
    health->food = m_health.food();
    health->flash = m_health.flash(now);
    health->dead = m_health.dead();
    if (m_settings.keys.respawn)
      health->respawnKey = nameOfKey(*m_settings.keys.respawn);
  }
  m_headsUp->showPlayer(std::move(hotbar), std::move(health));
}

} // namespace GamePages
