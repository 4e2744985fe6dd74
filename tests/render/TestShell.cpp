#include "TestShell.h"

#include <thread>
#include <vector>

unsigned long TestShell::windowHandle() const {
  unsigned long handle = 0;
  m_window->getCustomAttribute("WINDOW", &handle);
  return handle;
}

bool TestShell::renderUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    update(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

TestShell::Pixel TestShell::meanColour(int left, int top, int width, int height) {
  std::vector<Ogre::uint8> bytes(static_cast<std::size_t>(width) * height * 3);
  Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGB, bytes.data());
  m_window->copyContentsToMemory(Ogre::Box(left, top, left + width, top + height), box);
  long sum[3] = {0, 0, 0};
  for (std::size_t i = 0; i < bytes.size(); ++i) sum[i % 3] += bytes[i];
  const long count = static_cast<long>(width) * height;
  return {static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count),
          static_cast<int>(sum[2] / count)};
}

TestShell::Pixel TestShell::pixelAt(int x, int y) { return meanColour(x, y, 1, 1); }

std::ostream& operator<<(std::ostream& out, const TestShell::Pixel& pixel) {
  return out << "(" << pixel.r << ", " << pixel.g << ", " << pixel.b << ")";
}
