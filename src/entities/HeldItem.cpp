#include "Entities/HeldItem.h"

namespace Entities {

namespace {

// Item ids below this are blocks, which the protocol numbers by block type.
const short FirstItemId = 256;

} // namespace

HeldItem heldItemOf(short itemId) {
  if (itemId <= 0)
    return {};
  if (itemId < FirstItemId)
    return {HeldItem::Shape::Block, static_cast<unsigned char>(itemId)};
  return {HeldItem::Shape::Flat, 0};
}

} // namespace Entities
