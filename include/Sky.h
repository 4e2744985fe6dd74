#ifndef SKY_H
#define SKY_H

// The colour behind the world. With the day-night sky it follows the
// server's time of day: day, dusk, night and dawn colours, blended between
// them; the black sky never changes. The colour is kept here, in one place,
// so that whatever blends into the sky (the background, distance fog) reads
// the same value.

#include <cstdint>

#include <OgreColourValue.h>

namespace Ogre {
class Viewport;
}

enum class SkyMode { DayNight, Black };

// World time counts ticks; a day is 24000 of them: 0 is sunrise, 6000 noon,
// 12000 sunset and 18000 midnight.
constexpr std::int64_t DayTicks = 24000;

// The time of day, 0 to 23999, of any world time, negative ones included.
std::int64_t timeOfDay(std::int64_t worldTime);

// The day-night sky's colour at a world time.
Ogre::ColourValue skyColourAt(std::int64_t worldTime);

class Sky {
public:
  // Paints the viewport's background; black until told otherwise.
  explicit Sky(Ogre::Viewport& viewport);

  void setMode(SkyMode mode);
  // Shows the sky of the given world time.
  void follow(std::int64_t worldTime);
  const Ogre::ColourValue& colour() const { return m_colour; }

private:
  void paint(const Ogre::ColourValue& colour);

  Ogre::Viewport& m_viewport;
  SkyMode m_mode = SkyMode::Black;
  Ogre::ColourValue m_colour = Ogre::ColourValue::Black;
};

#endif
