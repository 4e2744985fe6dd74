// The game page's side of the window screens: the player's own inventory
// opened with its key, the windows the server opens, clicks on their slots
// answered by the server, and the pointer freed while a screen is up or the
// death screen offers its button.

#include <algorithm>
#include <iostream>

#include "GamePages/ItemViews.h"
#include "GamePages/Tessellar.h"
#include "LocaleText.h"

namespace GamePages {

namespace {

// A furnace cooks an item in 200 ticks; UpdateProgressBar's bar 0 counts
// them.
constexpr float CookingTicks = 200;
constexpr int CookingBar = 0;
constexpr int FuelBar = 1;
constexpr std::size_t MaxTitleBytes = 64;

WindowKind kindOf(const std::optional<Inventory::OpenWindow>& window) {
  if (!window)
    return WindowKind::Player;
  switch (static_cast<Inventory::WindowType>(window->type)) {
  case Inventory::WindowType::Workbench:
    return WindowKind::Workbench;
  case Inventory::WindowType::Furnace:
    return WindowKind::Furnace;
  case Inventory::WindowType::Dispenser:
    return WindowKind::Dispenser;
  default:
    return WindowKind::Chest;
  }
}

std::string titleOf(const std::optional<Inventory::OpenWindow>& window) {
  if (!window)
    return "Inventory";
  if (!window->title.empty())
    return utf8Prefix(localeToUtf8(window->title), MaxTitleBytes);
  static const char* const names[] = {"Chest", "Crafting", "Furnace", "Dispenser"};
  return window->type < 4 ? names[window->type] : "Chest";
}

int bar(const Inventory::OpenWindow& window, int index) {
  return static_cast<std::size_t>(index) < window.progress.size()
             ? window.progress[static_cast<std::size_t>(index)]
             : 0;
}

TSPackets::WindowClick clickPacket(const Inventory::Click& click) {
  TSPackets::WindowClick packet;
  packet.windowId = static_cast<signed char>(click.windowId);
  packet.slot = static_cast<short>(click.slot);
  packet.rightClick = click.rightButton;
  packet.actionNumber = click.action;
  packet.shift = false;
  packet.itemId = click.item.empty() ? -1 : click.item.itemId;
  packet.itemCount = click.item.count;
  packet.damage = click.item.damage;
  return packet;
}

} // namespace

void Tessellar::followWindows(ClientSession::Events& events) {
  events.windowOpened = [this](int windowId, int type, const std::string& title, int slotCount) {
    if (!m_inventory.open(windowId, static_cast<std::uint8_t>(type), title, slotCount)) {
      std::cout << "ignored window " << windowId << " with " << slotCount << " slots" << std::endl;
      return;
    }
    m_screenOpen = playerActs();
    m_fuelPeak = 0;
  };
  events.windowClosed = [this](int windowId) {
    if (m_inventory.openWindow() && m_inventory.openWindow()->id == windowId)
      closeScreen(false);
  };
  events.progressBar = [this](int windowId, int bar, int value) {
    if (!m_inventory.setProgress(windowId, bar, value))
      std::cout << "ignored progress bar " << bar << " of window " << windowId
                << ", which is not open" << std::endl;
  };
  events.clickAnswered = [this](int windowId, std::int16_t action, bool accepted) {
    if (!m_inventory.answer(windowId, action, accepted))
      std::cout << "ignored the answer to click " << action << " in window " << windowId
                << ", which waits for none" << std::endl;
    else if (!accepted)
      std::cout << "the server refused click " << action << " in window " << windowId
                << std::endl;
  };
}

// The inventory's key opens the player's own window; with a screen up,
// Escape and that key close it. The function keys keep their meaning.
bool Tessellar::windowKeyPressed(OIS::KeyCode key) {
  const bool inventoryKey = m_settings.keys.inventory == key;
  if (!m_screenOpen) {
    if (!inventoryKey || !m_world || !m_session->isConnected() || !playerActs())
      return false;
    m_screenOpen = true;
    return true;
  }
  if (inventoryKey || key == OIS::KC_ESCAPE)
    closeScreen(true);
  else
    itemKeyPressed(key);
  return key < OIS::KC_F1 || key > OIS::KC_F9;
}

// The server takes back the stack left on the cursor.
void Tessellar::closeScreen(bool tellServer) {
  if (tellServer && m_session->isConnected()) {
    TSPackets::CloseWindow close;
    close.windowId = static_cast<signed char>(m_inventory.activeWindow());
    m_session->send(close);
  }
  m_inventory.close();
  m_inventory.setSlot(-1, -1, ItemStack{});
  m_screenOpen = false;
}

// A click on a slot, or outside the window to throw the cursor's stack out;
// on the window between its slots it does nothing.
void Tessellar::screenClicked(OIS::MouseButtonID button) {
  if (button != OIS::MB_Left && button != OIS::MB_Right)
    return;
  const std::optional<Ogre::Vector2> pointer = m_shell.pointerPosition();
  if (!pointer)
    return;
  const WindowPoint point = pointIn(windowLayout(), ImVec2(pointer->x, pointer->y));
  if (point.kind == WindowPoint::Kind::Panel)
    return;
  const int slot = point.kind == WindowPoint::Kind::Slot ? point.slot : Inventory::Outside;
  if (const std::optional<Inventory::Click> click = m_inventory.click(slot, button == OIS::MB_Right))
    m_session->send(clickPacket(*click));
}

void Tessellar::deathScreenClicked() {
  const std::optional<Ogre::Vector2> pointer = m_shell.pointerPosition();
  if (pointer && respawnButton(displaySize()).contains(ImVec2(pointer->x, pointer->y)))
    requestRespawn();
}

ImVec2 Tessellar::displaySize() const {
  return ImVec2(static_cast<float>(m_shell.window()->getWidth()),
                static_cast<float>(m_shell.window()->getHeight()));
}

WindowLayout Tessellar::windowLayout() const {
  const std::optional<Inventory::OpenWindow>& window = m_inventory.openWindow();
  return layoutWindow(kindOf(window), window ? window->ownSlots : Inventory::PlayerSlots,
                      displaySize());
}

// A screen shows only in a world with the player alive; the pointer is
// free while it does, and on the death screen.
void Tessellar::showWindowScreen() {
  const bool inWorld = m_world && m_session->isConnected();
  if (m_screenOpen && !(inWorld && playerActs()))
    closeScreen(inWorld);
  m_shell.freePointer(m_screenOpen || (inWorld && m_health.dead()));
  if (!m_screenOpen) {
    m_headsUp->showWindow(std::nullopt);
    return;
  }
  const std::optional<Inventory::OpenWindow>& window = m_inventory.openWindow();
  WindowScreenView view;
  view.kind = kindOf(window);
  view.ownSlots = window ? window->ownSlots : Inventory::PlayerSlots;
  view.title = titleOf(window);
  for (int slot = 0; slot < m_inventory.slotCount(); ++slot)
    view.slots.push_back(slotView(m_inventory.slot(slot)));
  view.cursor = slotView(m_inventory.cursor());
  if (const std::optional<Ogre::Vector2> pointer = m_shell.pointerPosition())
    view.pointer = ImVec2(pointer->x, pointer->y);
  if (view.pointer && m_inventory.cursor().empty()) {
    const WindowPoint point = pointIn(windowLayout(), *view.pointer);
    if (point.kind == WindowPoint::Kind::Slot)
      view.tooltip = itemName(m_inventory.slot(point.slot));
  }
  if (window) {
    view.cooking = static_cast<float>(bar(*window, CookingBar)) / CookingTicks;
    // Fuel burns down from what the last item gave: its bar's highest value.
    m_fuelPeak = bar(*window, FuelBar) > 0 ? std::max(m_fuelPeak, bar(*window, FuelBar)) : 0;
    view.fuel = m_fuelPeak > 0 ? static_cast<float>(bar(*window, FuelBar)) / m_fuelPeak : 0;
  }
  m_headsUp->showWindow(std::move(view));
}

} // namespace GamePages
