#include "RunGame.h"

#include <clocale>
#include <iostream>
#include <optional>

#include "FatalError.h"
#include "Game.h"

int runGame(const PageFactory& makePage) {
  // Protocol strings convert through the locale's character set.
  std::setlocale(LC_ALL, "");

  Game& game = Game::instance();
  std::unique_ptr<GamePage> page;
  std::optional<FatalError> error;
  try {
    page = makePage();
    game.page(*page);
    game.run();
  } catch (...) {
    // Described while the page still exists: an engine error may refer to
    // memory of a plug-in that goes away with the page.
    error = describeCurrentException();
  }
  page.reset();
  if (!error) {
    return 0;
  }
  std::cerr << error->message << std::endl;
  return error->exitStatus;
}
