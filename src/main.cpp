#include <memory>

#include "GamePages/Tessellar.h"
#include "RunGame.h"

int main() {
  return runGame([] { return std::unique_ptr<GamePage>(new GamePages::Tessellar()); });
}
