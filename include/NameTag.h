#ifndef NAME_TAG_H
#define NAME_TAG_H

// A name shown above whatever scene node it is attached to: white letters
// with a dark shadow from the heads-up display's font (DejaVuSans.ttf),
// always facing the camera, as high on the screen at any distance, and
// hidden by whatever lies in front of it (it tests the depth of the scene
// and writes none).

#include <string>

#include <OgreSimpleRenderable.h>

class NameTag : public Ogre::SimpleRenderable {
public:
  // The most characters shown of a name; servers name players in 16.
  static constexpr std::size_t MaxLength = 32;
  // The letters' height on the screen, in pixels of the viewport; never
  // smaller in the world than MinHeight blocks.
  static constexpr float ScreenPixels = 18;
  static constexpr float MinHeight = 0.25f;

  // The name stands lift units above the node's origin, in world units.
  // Needs the engine's overlay system (for its font manager) and a render
  // system.
  NameTag(const std::u32string& name, float lift);
  ~NameTag() override;
  NameTag(const NameTag&) = delete;
  NameTag& operator=(const NameTag&) = delete;

  // The characters shown: control characters dropped, at most MaxLength.
  static std::u32string shownText(const std::u32string& name);

  void getWorldTransforms(Ogre::Matrix4* transform) const override;
  Ogre::Real getSquaredViewDepth(const Ogre::Camera* camera) const override;
  Ogre::Real getBoundingRadius() const override { return 0; }

private:
  // Where the bottom middle of the text is, in world units.
  Ogre::Vector3 anchor() const;
  // The letters' height in world units for the camera this frame.
  float height() const;

  float m_lift;
};

#endif
