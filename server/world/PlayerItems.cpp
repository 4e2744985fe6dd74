#include "server/PlayerItems.h"

#include <array>

namespace Server {

namespace {

// Stone, dirt, planks, cobblestone, sand, glass, bricks and wood.
constexpr std::array<std::int16_t, 8> StarterBlocks = {1, 3, 5, 4, 12, 20, 45, 17};
constexpr std::int8_t StarterCount = 64;

} // namespace

PlayerItems::PlayerItems() {
  std::vector<ItemStack> hotbar(Inventory::PlayerSlots);
  for (std::size_t i = 0; i < StarterBlocks.size(); ++i)
    hotbar[Inventory::HotbarFirst + i] = ItemStack{StarterBlocks[i], StarterCount, 0};
  m_inventory.setItems(Inventory::PlayerWindow, hotbar);
}

bool PlayerItems::hold(int hotbarSlot) {
  if (hotbarSlot < 0 || hotbarSlot >= Inventory::HotbarSlots)
    return false;
  m_inventory.hold(hotbarSlot);
  return true;
}

// The hotbar first, then the main inventory; the crafting and armour slots
// are never filled this way.
std::optional<int> PlayerItems::firstSlot(const ItemStack& wanted, bool emptyOnly) const {
  for (int first : {Inventory::HotbarFirst, Inventory::MainFirst}) {
    const int last =
        first == Inventory::HotbarFirst ? Inventory::PlayerSlots : Inventory::HotbarFirst;
    for (int index = first; index < last; ++index) {
      const ItemStack& stack = slot(index);
      if (emptyOnly ? stack.empty()
                    : !stack.empty() && stack.sameKind(wanted) &&
                          stack.count < maxStackSize(stack.itemId))
        return index;
    }
  }
  return std::nullopt;
}

std::optional<int> PlayerItems::add(std::int16_t itemId) { return addOne(ItemStack{itemId, 1, 0}); }

int PlayerItems::putBackCursor() {
  ItemStack kind = cursor();
  m_inventory.setSlot(-1, -1, ItemStack{});
  int lost = 0;
  for (int item = 0; item < (kind.empty() ? 0 : kind.count); ++item)
    if (!addOne(kind))
      ++lost;
  return lost;
}

std::optional<int> PlayerItems::addOne(const ItemStack& kind) {
  ItemStack one = kind;
  one.count = 1;
  if (const auto pile = firstSlot(one, false)) {
    ItemStack grown = slot(*pile);
    ++grown.count;
    m_inventory.setSlot(Inventory::PlayerWindow, *pile, grown);
    return pile;
  }
  const auto empty = firstSlot(one, true);
  if (empty)
    m_inventory.setSlot(Inventory::PlayerWindow, *empty, one);
  return empty;
}

// The client never moves stacks by a shifted click, so neither does the
// server: such a click is refused and the client shown the truth.
PlayerItems::ClickResult PlayerItems::click(int slot, bool rightButton, bool shift,
                                            const ItemStack& seen) {
  const bool outside = slot == Inventory::Outside;
  if (!outside && (slot < 0 || slot >= Inventory::PlayerSlots))
    return ClickResult::NoSuchSlot;
  if (shift)
    return ClickResult::Shifted;
  const ItemStack actual = outside ? ItemStack{} : this->slot(slot);
  if (seen.empty() ? !actual.empty() : seen != actual)
    return ClickResult::Mismatch;
  const auto click = m_inventory.click(slot, rightButton);
  // The click is the server's own word: nothing waits for an answer.
  if (click)
    m_inventory.answer(click->windowId, click->action, true);
  return ClickResult::Applied;
}

std::vector<ItemStack> PlayerItems::slots() const {
  std::vector<ItemStack> all;
  all.reserve(Inventory::PlayerSlots);
  for (int index = 0; index < Inventory::PlayerSlots; ++index)
    all.push_back(slot(index));
  return all;
}

std::string stackText(const ItemStack& stack) {
  if (stack.empty())
    return "nothing";
  std::string text = std::to_string(stack.count) + " of " + std::to_string(stack.itemId);
  if (stack.damage != 0)
    text += ":" + std::to_string(stack.damage);
  return text;
}

} // namespace Server
