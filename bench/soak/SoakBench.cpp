// The real client on a long walk: it runs in a straight line across the
// local world server's generated terrain at view radius 5, the server
// generating the columns ahead and unloading those behind, for ten minutes;
// its resident memory is sampled each minute. Goal: after the first minute,
// memory grows by at most 10 %.
//
// Usage: soak_bench [--minutes N]   (N from 2 to 600; 10 when not given)
//
// Runs on $DISPLAY, or in a private Xvfb when there is none; always with
// software OpenGL.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>

#include "LocalRun.h"
#include "PrivateDisplay.h"
#include "SoakReport.h"
#include "SoakRun.h"

namespace {

const int ViewRadius = 5;
const int DefaultMinutes = 10;
// The first minute is the baseline: at least one more is needed.
const long MinMinutes = 2;
const long MaxMinutes = 600;

// None after a usage error.
std::optional<int> parseMinutes(int argc, char** argv) {
  if (argc == 1)
    return DefaultMinutes;
  if (argc == 3 && std::strcmp(argv[1], "--minutes") == 0) {
    char* end = nullptr;
    const long minutes = std::strtol(argv[2], &end, 10);
    if (*argv[2] && *end == '\0' && minutes >= MinMinutes && minutes <= MaxMinutes)
      return int(minutes);
  }
  std::fprintf(stderr, "usage: %s [--minutes N]   (N from %ld to %ld, %d when not given)\n",
               argv[0], MinMinutes, MaxMinutes, DefaultMinutes);
  return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
  const std::optional<int> minutes = parseMinutes(argc, argv);
  if (!minutes)
    return 2;
  installStopHandlers();
  try {
    const PrivateDisplay display;
    std::printf("soak: the client (fov 90, bilinear, at most 30 frames a second) runs forward for "
                "%d minutes across the local world server's terrain (seed 0, view radius %d) on "
                "display %s, software OpenGL\n",
                *minutes, ViewRadius, display.description().c_str());
    std::printf("goal: after the first minute, resident memory grows by at most %.0f %%\n\n",
                SoakGrowthGoal * 100);
    std::fflush(stdout);
    return printSoakReport(runSoak(*minutes, ViewRadius)) ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
