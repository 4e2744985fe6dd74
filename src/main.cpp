#include <memory>

#include "Game.h"
#include "MyOgre.h"
#include "RunGame.h"

namespace {
// Shows the empty scene and stops when the window goes away.
class ShellPage : public MyOgre, public GamePage {
public:
  void update() override {
    if (!MyOgre::update(true)) {
      Game::instance().stop();
    }
  }
  void windowClosed() override { Game::instance().stop(); }
};
}  // namespace

int main() {
  return runGame([] { return std::unique_ptr<GamePage>(new ShellPage()); });
}
