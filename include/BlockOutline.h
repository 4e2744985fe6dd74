#ifndef BLOCK_OUTLINE_H
#define BLOCK_OUTLINE_H

// A thin dark box drawn around the block the player aims at.

#include <optional>

#include "vox/Vector.h"

class MyOgre;

namespace Ogre {
class ManualObject;
}

class BlockOutline {
public:
  explicit BlockOutline(MyOgre& shell);
  ~BlockOutline();
  BlockOutline(const BlockOutline&) = delete;
  BlockOutline& operator=(const BlockOutline&) = delete;

  // Outlines the block's cell; none hides the outline.
  void show(const std::optional<Vox::Vector3DInt32>& block);
  bool visible() const;

private:
  MyOgre& m_shell;
  Ogre::ManualObject* m_box;
};

#endif
