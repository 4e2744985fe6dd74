#include <memory>

#include "GamePages/LaunchOptions.h"
#include "GamePages/Tessellar.h"
#include "RunGame.h"

int main(int argc, char** argv) {
  return runGame([argc, argv] {
    return std::unique_ptr<GamePage>(
        new GamePages::Tessellar(GamePages::parseLaunchOptions(argc, argv)));
  });
}
