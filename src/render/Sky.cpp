#include "Sky.h"

#include <array>

#include <OgreViewport.h>

namespace {

struct SkyKey {
  std::int64_t time;
  Ogre::ColourValue colour;
};

const Ogre::ColourValue Dawn(0.86f, 0.58f, 0.46f);
const Ogre::ColourValue Day(0.47f, 0.66f, 0.95f);
const Ogre::ColourValue Dusk(0.80f, 0.40f, 0.28f);
const Ogre::ColourValue Night(0.02f, 0.03f, 0.09f);

// The colours through one day; between two keys the colour blends linearly.
const std::array<SkyKey, 7> Keys = {{
    {0, Dawn},
    {1500, Day},
    {10500, Day},
    {12000, Dusk},
    {13500, Night},
    {22500, Night},
    {DayTicks, Dawn},
}};

} // namespace

std::int64_t timeOfDay(std::int64_t worldTime) {
  const std::int64_t time = worldTime % DayTicks;
  return time < 0 ? time + DayTicks : time;
}

Ogre::ColourValue skyColourAt(std::int64_t worldTime) {
  const std::int64_t time = timeOfDay(worldTime);
  std::size_t next = 1;
  while (Keys[next].time <= time)
    ++next;
  const SkyKey& from = Keys[next - 1];
  const SkyKey& to = Keys[next];
  const float blend = float(time - from.time) / float(to.time - from.time);
  return from.colour + (to.colour - from.colour) * blend;
}

Sky::Sky(Ogre::Viewport& viewport) : m_viewport(viewport) { paint(m_colour); }

void Sky::setMode(SkyMode mode) {
  m_mode = mode;
  if (m_mode == SkyMode::Black)
    paint(Ogre::ColourValue::Black);
}

void Sky::follow(std::int64_t worldTime) {
  if (m_mode == SkyMode::DayNight)
    paint(skyColourAt(worldTime));
}

void Sky::paint(const Ogre::ColourValue& colour) {
  m_colour = colour;
  m_viewport.setBackgroundColour(colour);
}
