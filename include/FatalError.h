#ifndef FATAL_ERROR_H
#define FATAL_ERROR_H

// How the top level reports an exception that ended the program.

#include <string>

struct FatalError {
  // One line for standard error, without the line end.
  std::string message;
  int exitStatus;
};

// Describes the exception being handled; call it only inside a catch block.
// Engine errors keep the engine's wording ("OgreException: ..."); everything
// else reads "fatal: " and what went wrong. Either way the exit status is 1:
// a program that could not run must not look like one that ended well.
FatalError describeCurrentException();

#endif
