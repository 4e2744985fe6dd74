#ifndef RUN_GAME_H
#define RUN_GAME_H

// The program's top level: builds the page, runs the loop until it stops,
// deletes the page and reports whatever exception ended it on standard error.

#include <functional>
#include <memory>

#include "GamePage.h"

using PageFactory = std::function<std::unique_ptr<GamePage>()>;

// Returns the process's exit status: 0 after a normal stop, 1 after an error
// (an engine error reported as "OgreException: ...", any other as
// "fatal: ...").
int runGame(const PageFactory& makePage);

#endif
