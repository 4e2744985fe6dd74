#include "inventory/Inventory.h"

#include <algorithm>

namespace {

const ItemStack NoStack;
constexpr int MaxOwnSlots = 127;
constexpr int MaxProgressBars = 16;

} // namespace

ItemStack* Inventory::slotOf(int windowId, int index) {
  if (index < 0)
    return nullptr;
  if (windowId == PlayerWindow)
    return index < PlayerSlots ? &m_player[static_cast<std::size_t>(index)] : nullptr;
  if (!m_open || windowId != m_open->id)
    return nullptr;
  if (index < m_open->ownSlots)
    return &m_open->slots[static_cast<std::size_t>(index)];
  if (index < m_open->ownSlots + CarriedSlots)
    return &m_player[static_cast<std::size_t>(MainFirst + index - m_open->ownSlots)];
  return nullptr;
}

bool Inventory::setItems(int windowId, const std::vector<ItemStack>& stacks) {
  m_dropped = 0;
  if (!slotOf(windowId, 0))
    return false;
  for (std::size_t index = 0; index < stacks.size(); ++index) {
    ItemStack* target = slotOf(windowId, static_cast<int>(index));
    if (!target) {
      m_dropped = stacks.size() - index;
      break;
    }
    *target = stacks[index];
  }
  return true;
}

bool Inventory::setSlot(int windowId, int slot, const ItemStack& stack) {
  if (windowId == -1 && slot == -1) {
    m_cursor = stack;
    return true;
  }
  ItemStack* target = slotOf(windowId, slot);
  if (!target)
    return false;
  *target = stack;
  return true;
}

bool Inventory::open(int windowId, std::uint8_t type, std::string title, int slotCount) {
  if (windowId <= PlayerWindow || slotCount < 0 || slotCount > MaxOwnSlots)
    return false;
  close();
  OpenWindow window;
  window.id = windowId;
  window.type = type;
  window.title = std::move(title);
  window.ownSlots = slotCount;
  window.slots.resize(static_cast<std::size_t>(slotCount));
  m_open = std::move(window);
  return true;
}

void Inventory::close(std::optional<int> windowId) {
  if (!m_open || (windowId && *windowId != m_open->id))
    return;
  const int closed = m_open->id;
  m_open.reset();
  m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                 [&](const Pending& p) { return p.windowId == closed; }),
                  m_pending.end());
}

bool Inventory::setProgress(int windowId, int bar, int value) {
  if (!m_open || windowId != m_open->id || bar < 0 || bar >= MaxProgressBars)
    return false;
  std::vector<int>& bars = m_open->progress;
  if (bars.size() <= static_cast<std::size_t>(bar))
    bars.resize(static_cast<std::size_t>(bar) + 1);
  bars[static_cast<std::size_t>(bar)] = value;
  return true;
}

int Inventory::slotCount() const {
  return m_open ? m_open->ownSlots + CarriedSlots : PlayerSlots;
}

const ItemStack& Inventory::slot(int index) const {
  const ItemStack* stack = const_cast<Inventory*>(this)->slotOf(activeWindow(), index);
  return stack ? *stack : NoStack;
}

const ItemStack& Inventory::playerSlot(int index) const {
  if (index < 0 || index >= PlayerSlots)
    return NoStack;
  return m_player[static_cast<std::size_t>(index)];
}

bool Inventory::hold(int index) {
  if (index < 0 || index >= HotbarSlots || index == m_held)
    return false;
  m_held = index;
  return true;
}

bool Inventory::scroll(int steps) {
  const int moved = ((m_held + steps) % HotbarSlots + HotbarSlots) % HotbarSlots;
  return hold(moved);
}

void Inventory::useHeld() {
  ItemStack& stack = m_player[static_cast<std::size_t>(HotbarFirst + m_held)];
  if (stack.empty())
    return;
  --stack.count;
  if (stack.empty())
    stack = ItemStack{};
}

// The result slots of crafting and of the furnace are taken from, never
// put into.
bool Inventory::takesOnly(int index) const {
  if (!m_open)
    return index == 0;
  switch (static_cast<WindowType>(m_open->type)) {
  case WindowType::Workbench:
    return index == 0;
  case WindowType::Furnace:
    return index == 2;
  default:
    return false;
  }
}

std::vector<ItemStack> Inventory::snapshot() const {
  std::vector<ItemStack> slots;
  slots.reserve(static_cast<std::size_t>(slotCount()));
  for (int index = 0; index < slotCount(); ++index)
    slots.push_back(slot(index));
  return slots;
}

void Inventory::restore(const std::vector<ItemStack>& slots) {
  for (std::size_t index = 0; index < slots.size(); ++index)
    if (ItemStack* target = slotOf(activeWindow(), static_cast<int>(index)))
      *target = slots[index];
}

// Left: the whole stack is picked up, put down, piled on one of its kind or
// swapped with a different one. Right: half is picked up (the larger half),
// one is put down.
void Inventory::clickSlot(ItemStack& target, bool rightButton, bool takeOnly) {
  if (m_cursor.empty()) {
    if (target.empty())
      return;
    const int taken = rightButton ? (target.count + 1) / 2 : target.count;
    m_cursor = target;
    m_cursor.count = static_cast<std::int8_t>(taken);
    target.count = static_cast<std::int8_t>(target.count - taken);
    if (target.empty())
      target = ItemStack{};
    return;
  }
  if (takeOnly) {
    // A result joins the cursor's pile when all of it fits there.
    if (!target.empty() && target.sameKind(m_cursor) &&
        m_cursor.count + target.count <= maxStackSize(m_cursor.itemId)) {
      m_cursor.count = static_cast<std::int8_t>(m_cursor.count + target.count);
      target = ItemStack{};
    }
    return;
  }
  if (target.empty() || target.sameKind(m_cursor)) {
    const int room = maxStackSize(m_cursor.itemId) - (target.empty() ? 0 : target.count);
    const int moved = std::max(0, std::min(rightButton ? 1 : int(m_cursor.count), room));
    if (moved == 0)
      return;
    if (target.empty()) {
      target = m_cursor;
      target.count = 0;
    }
    target.count = static_cast<std::int8_t>(target.count + moved);
    m_cursor.count = static_cast<std::int8_t>(m_cursor.count - moved);
    if (m_cursor.empty())
      m_cursor = ItemStack{};
    return;
  }
  std::swap(target, m_cursor);
}

void Inventory::throwOut(bool rightButton) {
  if (m_cursor.empty())
    return;
  m_cursor.count = static_cast<std::int8_t>(rightButton ? m_cursor.count - 1 : 0);
  if (m_cursor.empty())
    m_cursor = ItemStack{};
}

// Action numbers count up from 1 and start again after the largest short.
std::int16_t Inventory::nextAction() {
  m_lastAction = static_cast<std::int16_t>(m_lastAction == INT16_MAX ? 1 : m_lastAction + 1);
  return m_lastAction;
}

std::optional<Inventory::Click> Inventory::click(int slot, bool rightButton) {
  const int windowId = activeWindow();
  ItemStack* target = slot == Outside ? nullptr : slotOf(windowId, slot);
  if (slot != Outside && !target)
    return std::nullopt;
  Pending pending{windowId, nextAction(), snapshot(), m_cursor};
  Click click{windowId, slot, rightButton, pending.action, target ? *target : ItemStack{}};
  if (target)
    clickSlot(*target, rightButton, takesOnly(slot));
  else
    throwOut(rightButton);
  m_pending.push_back(std::move(pending));
  if (m_pending.size() > MaxPendingClicks)
    m_pending.pop_front();
  return click;
}

bool Inventory::answer(int windowId, std::int16_t action, bool accepted) {
  const auto found = std::find_if(m_pending.begin(), m_pending.end(), [&](const Pending& p) {
    return p.windowId == windowId && p.action == action;
  });
  if (found == m_pending.end())
    return false;
  if (accepted) {
    m_pending.erase(m_pending.begin(), found + 1);
    return true;
  }
  // The window the click was made in may have been replaced since.
  if (found->windowId == activeWindow()) {
    restore(found->slots);
    m_cursor = found->cursor;
  }
  m_pending.erase(found, m_pending.end());
  return true;
}

void Inventory::clear() {
  m_player.assign(PlayerSlots, ItemStack{});
  m_open.reset();
  m_cursor = ItemStack{};
  m_pending.clear();
}
