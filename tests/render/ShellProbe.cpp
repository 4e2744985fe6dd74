// The client's top level around stand-in pages: "shell" shows the render
// shell until its window goes away (and prints the window's X id first); the
// other modes end the program with one kind of error each.

#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <OgreException.h>
#include <asio/error.hpp>
#include <asio/system_error.hpp>

#include "Game.h"
#include "MyOgre.h"
#include "RunGame.h"

namespace {
class ShellPage : public MyOgre, public GamePage {
public:
  void tick() override {}
  void frame(float) override {
    if (!m_announced) {
      unsigned long handle = 0;
      m_window->getCustomAttribute("WINDOW", &handle);
      std::cout << "window " << handle << std::endl;
      m_announced = true;
    }
    if (!MyOgre::update(true)) Game::instance().stop();
  }
  void windowClosed() override { Game::instance().stop(); }

private:
  bool m_announced = false;
};

// Fails on its first tick; says when it is destroyed.
class FailingPage : public GamePage {
public:
  explicit FailingPage(std::string mode) : m_mode(std::move(mode)) {}
  ~FailingPage() override { std::cerr << "page destroyed" << std::endl; }

  void tick() override {
    if (m_mode == "ogre-in-tick") {
      OGRE_EXCEPT(Ogre::Exception::ERR_INVALID_STATE, "probe failure", "FailingPage::tick");
    }
    throw asio::system_error(asio::error::host_not_found);
  }
  void frame(float) override {}

private:
  std::string m_mode;
};

std::unique_ptr<GamePage> makePage(const std::string& mode) {
  if (mode == "shell") return std::make_unique<ShellPage>();
  if (mode == "runtime-error") throw std::runtime_error("bad value for fov");
  if (mode == "text") throw "cancelled configuration";
  if (mode == "int") throw 42;
  return std::make_unique<FailingPage>(mode);
}
}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "shell";
  return runGame([&mode] { return makePage(mode); });
}
